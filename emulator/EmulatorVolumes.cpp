#include "emulator/EmulatorVolumes.h"

#include "emulator/EmulatedHandheld.h"
#include "emulator/EmulatorChannel.h"

void EmulatorVolumes::Attach(int32_t driveIndex, EmulatedHandheld* handheld) {
    handhelds.at(static_cast<size_t>(driveIndex)) = handheld;
    present |= uint32_t{1} << driveIndex;
}

void EmulatorVolumes::AttachUnopenable(int32_t driveIndex) {
    handhelds.at(static_cast<size_t>(driveIndex)) = nullptr;
    present |= uint32_t{1} << driveIndex;
}

void EmulatorVolumes::Detach(int32_t driveIndex) {
    handhelds.at(static_cast<size_t>(driveIndex)) = nullptr;
    present &= ~(uint32_t{1} << driveIndex);
}

uint32_t EmulatorVolumes::PresentVolumes() {
    return present;
}

EmulatedHandheld* EmulatorVolumes::HandheldAt(int32_t driveIndex) const {
    if (driveIndex < 0 || driveIndex >= kDriveLetters) return nullptr;
    return handhelds[static_cast<size_t>(driveIndex)];
}

std::unique_ptr<SectorChannel> EmulatorVolumes::OpenVwin32() {
    if (!vwin32) return nullptr;
    ++openChannels;
    return std::make_unique<EmulatorChannel>(*this, nullptr);
}

std::unique_ptr<SectorChannel> EmulatorVolumes::OpenVolume(int32_t index) {
    return Open(index, true);
}

std::unique_ptr<SectorChannel> EmulatorVolumes::OpenVolumeToRead(int32_t index) {
    return Open(index, false);
}

std::unique_ptr<SectorChannel> EmulatorVolumes::Open(int32_t index, bool forWriting) {
    openedVolumes.push_back(index);
    lastOpenDenied = false;
    EmulatedHandheld* handheld = HandheldAt(index);
    if (handheld == nullptr) return nullptr;
    const HostRights rights = handheld->Options().hostRights;
    if (rights == HostRights::None || (forWriting && rights == HostRights::ReadOnly)) {
        lastOpenDenied = true;
        return nullptr;
    }
    if (!handheld->NoteOpen(forWriting)) return nullptr;
    ++openChannels;
    return std::make_unique<EmulatorChannel>(*this, handheld);
}
