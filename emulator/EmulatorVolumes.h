// Emulated handhelds behind volume indices, as the device object's platform seam.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "device/VolumeAccess.h"

class EmulatedHandheld;

class EmulatorVolumes final : public VolumeAccess {
public:
    // The handheld stays the caller's; it must outlive every channel opened to it.
    void Attach(int32_t driveIndex, EmulatedHandheld* handheld);
    // A drive letter that exists but cannot be opened, like an empty card reader.
    void AttachUnopenable(int32_t driveIndex);
    // Unplugged: the drive is gone.
    void Detach(int32_t driveIndex);
    // Serve every drive through one VWIN32 channel, as the Windows 95 family does.
    void PresentVwin32(bool present) { vwin32 = present; }

    uint32_t PresentVolumes() override;
    std::unique_ptr<SectorChannel> OpenVwin32() override;
    std::unique_ptr<SectorChannel> OpenVolume(int32_t index) override;
    std::unique_ptr<SectorChannel> OpenVolumeToRead(int32_t index) override;
    bool LastOpenDenied() override { return lastOpenDenied; }

    EmulatedHandheld* HandheldAt(int32_t driveIndex) const;
    // Every volume a channel was asked for, in order.
    const std::vector<int32_t>& OpenedVolumes() const { return openedVolumes; }
    int32_t OpenChannels() const { return openChannels; }
    void NoteChannelClosed() { --openChannels; }

private:
    std::unique_ptr<SectorChannel> Open(int32_t index, bool forWriting);

    std::array<EmulatedHandheld*, kDriveLetters> handhelds{};
    uint32_t present = 0;
    bool vwin32 = false;
    std::vector<int32_t> openedVolumes;
    int32_t openChannels = 0;
    bool lastOpenDenied = false;
};
