#include "tests/support/FakeKernel.h"

#include <winioctl.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "emulator/EmulatedHandheld.h"
#include "emulator/EmulatorVolumes.h"
#include "platform/win32/Win32Volumes.h"
#include "tests/support/LockRuleVolumes.h"

namespace {

int g_vwin32Object = 0;
int g_volumeObject = 0;

// The emulated volume's FAT boot sector names one reserved sector; its file system takes the
// rest of the volume, mailbox included.
constexpr uint32_t kBootSectors = 1;

int32_t DriveOfVolumeName(const wchar_t* name) {
    const std::wstring text(name);
    if (text.size() != 6 || text.compare(0, 4, L"\\\\.\\") != 0) return -1;
    return text[4] >= L'A' && text[4] <= L'Z' ? text[4] - L'A' : -1;
}

}  // namespace

const HANDLE FakeKernel::kVwin32Handle = &g_vwin32Object;
const HANDLE FakeKernel::kVolumeHandle = &g_volumeObject;

FakeKernel::~FakeKernel() = default;

bool FakeKernel::Fail(DWORD error) {
    lastError = error;
    return false;
}

FakeKernel::Opened* FakeKernel::Find(HANDLE handle) {
    for (Opened& volume : opened) {
        if (&volume == handle) return &volume;
    }
    return nullptr;
}

void FakeKernel::HoldVolume(int32_t drive, uint32_t refusals, uint32_t onReturn) {
    heldDrive = refusals != 0 ? drive : -1;
    refusalsLeft = refusals;
    holderDrive = drive;
    refusalsOnReturn = onReturn;
}

UINT FakeKernel::CopyOut(const std::wstring& path, wchar_t* buffer, UINT size) {
    if (path.size() >= size) return 0;
    std::wcscpy(buffer, path.c_str());
    return static_cast<UINT>(path.size());
}

bool FakeKernel::OtherHandleOpen(const Opened& volume) const {
    if (heldDrive == volume.drive) return true;
    for (const Opened& other : opened) {
        if (&other != &volume && other.drive == volume.drive) return true;
    }
    return false;
}

HANDLE FakeKernel::CreateFileW(const wchar_t* name, DWORD access, DWORD share,
                               SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                               HANDLE templateFile) {
    creates.push_back(
        {name, access, share, disposition, flags, security != nullptr, templateFile != nullptr});
    const bool vwin32 = std::wstring(name) == L"\\\\.\\vwin32";
    if (handhelds == nullptr) {
        if (vwin32) return vwin32Present ? kVwin32Handle : INVALID_HANDLE_VALUE;
        return volumePresent ? kVolumeHandle : INVALID_HANDLE_VALUE;
    }
    // Windows Vista and later have no VWIN32 device, and a locked volume opens for nobody else.
    const int32_t drive = vwin32 ? -1 : DriveOfVolumeName(name);
    bool locked = false;
    for (const Opened& other : opened) locked = locked || (other.drive == drive && other.locked);
    const bool writable = (access & GENERIC_WRITE) != 0;
    std::unique_ptr<SectorChannel> channel;
    if (drive >= 0 && !locked) {
        channel = writable ? handhelds->OpenVolume(drive) : handhelds->OpenVolumeToRead(drive);
    }
    if (!channel) {
        lastError =
            locked || handhelds->LastOpenDenied() ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    opened.push_back({std::move(channel), drive});
    return &opened.back();
}

BOOL FakeKernel::DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                                 DWORD outSize, DWORD* returned, OVERLAPPED* overlapped) {
    IoctlCall call{device, code, in == out, inSize, outSize, overlapped != nullptr, {}, {}};
    *returned = 0;
    if (Opened* volume = Find(device)) {
        ioctls.push_back(call);
        return VolumeControl(*volume, code);
    }
    // Names the drive of the volume opened last, as the scan asks right after opening it.
    if (device == kVolumeHandle && code == IOCTL_STORAGE_QUERY_PROPERTY) {
        ioctls.push_back(call);
        const auto bus = busTypes.find(creates.back().name.at(4));
        auto* descriptor = static_cast<STORAGE_DEVICE_DESCRIPTOR*>(out);
        descriptor->BusType = bus != busTypes.end() ? bus->second : BusTypeUnknown;
        *returned = sizeof *descriptor;
        return TRUE;
    }
    if (device != kVwin32Handle || in == nullptr || out == nullptr) {
        ioctls.push_back(call);
        lastError = ioctlResult ? 0 : errorAfter;
        return ioctlResult;
    }
    std::memcpy(&call.in, in, sizeof call.in);
    if (code == kVwin32DosDriveInfo && call.in.ebx != 0) {
        // The program passes the packet's address in EBX, as VWIN32 takes it.
        std::memcpy(
            call.packet.data(),
            reinterpret_cast<const void*>(call.in.ebx),  // NOLINT(performance-no-int-to-ptr)
            call.packet.size());
    }
    ioctls.push_back(call);
    auto* registers = static_cast<DiocRegisters*>(out);
    registers->flags =
        carryAfter ? (registers->flags | kCarryFlag) : (registers->flags & ~kCarryFlag);
    *returned = sizeof(DiocRegisters);
    return ioctlResult;
}

BOOL FakeKernel::VolumeControl(Opened& volume, DWORD code) {
    if ((code == FSCTL_LOCK_VOLUME || code == FSCTL_UNLOCK_VOLUME) && locksGrantNothing) {
        return TRUE;
    }
    if (code == FSCTL_LOCK_VOLUME) {
        if (OtherHandleOpen(volume)) {
            if (heldDrive == volume.drive && refusalsLeft != kForever && --refusalsLeft == 0) {
                heldDrive = -1;
            }
            return Fail(ERROR_ACCESS_DENIED);
        }
        if (volume.channel->LockVolume(volume.drive) != VolumeLock::Locked) {
            return Fail(ERROR_NOT_READY);
        }
        volume.locked = true;
        return TRUE;
    }
    if (code == FSCTL_UNLOCK_VOLUME) {
        if (!volume.locked) return Fail(ERROR_NOT_LOCKED);
        volume.locked = false;
        if (volume.drive == holderDrive && refusalsOnReturn != 0) {
            heldDrive = holderDrive;  // told of the unlock, the other program comes back
            refusalsLeft = refusalsOnReturn;
        }
        if (!volume.channel->UnlockVolume(volume.drive)) return Fail(ERROR_NOT_READY);
        return TRUE;
    }
    return Fail(ERROR_INVALID_FUNCTION);
}

DWORD FakeKernel::SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method) {
    seeks.push_back({distance, high != nullptr, method});
    if (Opened* volume = Find(file)) volume->position = static_cast<uint32_t>(distance);
    return static_cast<DWORD>(distance);
}

BOOL FakeKernel::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* done, OVERLAPPED*) {
    transfers.push_back(size);
    *done = 0;
    Opened* volume = Find(file);
    if (volume == nullptr) {
        std::memset(buffer, 0xAB, size);
        *done = size;
        return TRUE;
    }
    const int32_t moved =
        volume->channel->ReadSectors(volume->drive, volume->position / kSectorSize,
                                     size / kSectorSize, static_cast<uint8_t*>(buffer));
    if (moved < 0) return Fail(ERROR_NOT_READY);
    *done = static_cast<DWORD>(moved);
    return TRUE;
}

BOOL FakeKernel::WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* done, OVERLAPPED*) {
    transfers.push_back(size);
    *done = 0;
    Opened* volume = Find(file);
    if (volume == nullptr) {
        *done = size;
        return TRUE;
    }
    const uint32_t first = volume->position / kSectorSize;
    const uint32_t count = size / kSectorSize;
    const bool insideFileSystem =
        first + count > kBootSectors && first < EmulatedHandheld::kVolumeSectors;
    if (insideFileSystem && !volume->locked) return Fail(ERROR_ACCESS_DENIED);
    const int32_t moved = volume->channel->WriteSectors(volume->drive, first, count,
                                                        static_cast<const uint8_t*>(buffer));
    if (moved < 0) return Fail(ERROR_NOT_READY);
    *done = static_cast<DWORD>(moved);
    return TRUE;
}

BOOL FakeKernel::CloseHandle(HANDLE handle) {
    closed.push_back(handle);
    // Closing a handle gives up its lock; the handheld hears of it only through an unlock.
    opened.remove_if([handle](const Opened& volume) { return &volume == handle; });
    return TRUE;
}

DWORD FakeKernel::GetLogicalDrives() {
    return handhelds != nullptr ? handhelds->PresentVolumes() : logicalDrives;
}

UINT FakeKernel::GetDriveTypeW(const wchar_t* rootPath) {
    const auto type = driveTypes.find(rootPath[0]);
    if (type != driveTypes.end()) return type->second;
    return handhelds != nullptr ? DRIVE_REMOVABLE : DRIVE_FIXED;
}

LockRuleVolumes::LockRuleVolumes(EmulatorVolumes& handhelds)
    : handhelds(handhelds),
      kernel(std::make_unique<FakeKernel>(handhelds)),
      windows(std::make_unique<Win32Volumes>(*kernel)) {}

LockRuleVolumes::~LockRuleVolumes() = default;

uint32_t LockRuleVolumes::PresentVolumes() {
    return windows->PresentVolumes();
}

std::unique_ptr<SectorChannel> LockRuleVolumes::OpenVwin32() {
    return handhelds.OpenVwin32();
}

std::unique_ptr<SectorChannel> LockRuleVolumes::OpenVolume(int32_t index) {
    return windows->OpenVolume(index);
}

std::unique_ptr<SectorChannel> LockRuleVolumes::OpenVolumeToRead(int32_t index) {
    return windows->OpenVolumeToRead(index);
}

bool LockRuleVolumes::LastOpenDenied() {
    return windows->LastOpenDenied();
}

bool LockRuleVolumes::WorthProbing(int32_t index) {
    return windows->WorthProbing(index);
}
