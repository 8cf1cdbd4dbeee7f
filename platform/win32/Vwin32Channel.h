// The VWIN32 device of the Windows 95 family: MS-DOS absolute disk reads and writes
// (Int 21h 7305h) and volume locks (Int 21h 440Dh) for every drive through one handle.
#pragma once

#include <cstdint>

#include "device/SectorChannel.h"
#include "platform/win32/Win32Handles.h"

// The register block VWIN32 takes and gives back.
struct DiocRegisters {
    uint32_t ebx;
    uint32_t edx;
    uint32_t ecx;
    uint32_t eax;
    uint32_t edi;
    uint32_t esi;
    uint32_t flags;
};
static_assert(sizeof(DiocRegisters) == 28, "VWIN32 takes exactly seven registers");

// The packet of Int 21h 7305h, without gaps.
#pragma pack(push, 1)
struct DiskIo {
    uint32_t startSector;
    uint16_t sectors;
    uint32_t buffer;
};
#pragma pack(pop)
static_assert(sizeof(DiskIo) == 10, "the disk packet is packed");

constexpr DWORD kVwin32DosIoctl = 1;      // Int 21h 4400h to 4411h
constexpr DWORD kVwin32DosDriveInfo = 6;  // Int 21h 730xh
constexpr uint32_t kCarryFlag = 1;

class Vwin32Channel final : public SectorChannel {
public:
    Vwin32Channel(Win32Api& api, ChannelHandle handle) : api(api), handle(std::move(handle)) {}

    int32_t ReadSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                        uint8_t* buffer) override;
    int32_t WriteSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override;
    VolumeLock LockVolume(int32_t driveIndex) override;
    bool UnlockVolume(int32_t driveIndex) override;

private:
    int32_t AbsoluteDiskIo(int32_t driveIndex, uint32_t sector, uint32_t count,
                           const uint8_t* buffer, uint32_t writeMode);
    bool LockCall(int32_t driveIndex, uint32_t minorCode);
    bool Call(DWORD code, DiocRegisters& registers);

    Win32Api& api;
    ChannelHandle handle;
};
