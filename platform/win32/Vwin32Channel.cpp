#include "platform/win32/Vwin32Channel.h"

#include <cstddef>

namespace {

// The packet and the register block carry 32-bit addresses.
static_assert(sizeof(void*) == 4, "VWIN32 exists only for 32-bit programs");

constexpr uint32_t kAbsoluteDiskReadWrite = 0x7305;
constexpr uint32_t kAllSectorsOfTheDrive = 0xFFFFFFFF;
constexpr uint32_t kReadMode = 0;
constexpr uint32_t kWriteMode = 1;
constexpr uint32_t kGenericIoctl = 0x440D;
constexpr uint32_t kLockLogicalVolume = 0x084A;    // category 08h, minor code 4Ah
constexpr uint32_t kUnlockLogicalVolume = 0x086A;  // category 08h, minor code 6Ah

uint32_t Address(const void* p) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
}

// MS-DOS numbers drives from 1 for A:.
uint32_t DosDrive(int32_t driveIndex) {
    return static_cast<uint32_t>(driveIndex + 1);
}

}  // namespace

// The call succeeded only if VWIN32 took it and MS-DOS left the carry clear.
bool Vwin32Channel::Call(DWORD code, DiocRegisters& registers) {
    DWORD returned = 0;
    const BOOL ok = api.DeviceIoControl(handle.Get(), code, &registers, sizeof registers,
                                        &registers, sizeof registers, &returned, nullptr);
    return ok != 0 && (registers.flags & kCarryFlag) == 0;
}

int32_t Vwin32Channel::AbsoluteDiskIo(int32_t driveIndex, uint32_t sector, uint32_t count,
                                      const uint8_t* buffer, uint32_t writeMode) {
    DiskIo packet{sector, static_cast<uint16_t>(count), Address(buffer)};
    DiocRegisters registers{};
    registers.eax = kAbsoluteDiskReadWrite;
    registers.ebx = Address(&packet);
    registers.ecx = kAllSectorsOfTheDrive;
    registers.edx = DosDrive(driveIndex);
    registers.esi = writeMode;
    registers.flags = kCarryFlag;
    if (!Call(kVwin32DosDriveInfo, registers)) return -1;
    // The register count VWIN32 reports says nothing of the data; the bytes asked for moved.
    return static_cast<int32_t>(count * kSectorSize);
}

int32_t Vwin32Channel::ReadSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                                   uint8_t* buffer) {
    return AbsoluteDiskIo(driveIndex, sector, count, buffer, kReadMode);
}

int32_t Vwin32Channel::WriteSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                                    const uint8_t* buffer) {
    return AbsoluteDiskIo(driveIndex, sector, count, buffer, kWriteMode);
}

bool Vwin32Channel::LockCall(int32_t driveIndex, uint32_t minorCode) {
    DiocRegisters registers{};
    registers.eax = kGenericIoctl;
    registers.ecx = minorCode;
    registers.ebx = DosDrive(driveIndex);  // BH = lock level 0
    registers.edx = 0;                     // permissions
    registers.flags = kCarryFlag;
    return Call(kVwin32DosIoctl, registers);
}

VolumeLock Vwin32Channel::LockVolume(int32_t driveIndex) {
    return LockCall(driveIndex, kLockLogicalVolume) ? VolumeLock::Locked : VolumeLock::Refused;
}

bool Vwin32Channel::UnlockVolume(int32_t driveIndex) {
    return LockCall(driveIndex, kUnlockLogicalVolume);
}
