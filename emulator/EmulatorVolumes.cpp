#include "emulator/EmulatorVolumes.h"

#include "emulator/EmulatedHandheld.h"
#include "emulator/EmulatorChannel.h"

namespace {

// "\\.\E:" names drive 4; anything else names no drive.
int32_t DriveOfVolumeName(const wchar_t* name) {
    const std::wstring text(name);
    if (text.size() != 6 || text.compare(0, 4, L"\\\\.\\") != 0 || text[5] != L':') return -1;
    const wchar_t letter = text[4];
    return letter >= L'A' && letter <= L'Z' ? static_cast<int32_t>(letter - L'A') : -1;
}

}  // namespace

void EmulatorVolumes::Attach(int32_t driveIndex, EmulatedHandheld* handheld) {
    handhelds.at(static_cast<size_t>(driveIndex)) = handheld;
    present |= uint32_t{1} << driveIndex;
}

void EmulatorVolumes::AttachUnopenable(int32_t driveIndex) {
    handhelds.at(static_cast<size_t>(driveIndex)) = nullptr;
    present |= uint32_t{1} << driveIndex;
}

uint32_t EmulatorVolumes::LogicalDrives() {
    return present;
}

EmulatedHandheld* EmulatorVolumes::HandheldAt(int32_t driveIndex) const {
    if (driveIndex < 0 || driveIndex >= kDrives) return nullptr;
    return handhelds[static_cast<size_t>(driveIndex)];
}

std::unique_ptr<SectorChannel> EmulatorVolumes::OpenVwin32() {
    if (!vwin32) return nullptr;
    ++openChannels;
    return std::make_unique<EmulatorChannel>(*this, nullptr);
}

std::unique_ptr<SectorChannel> EmulatorVolumes::OpenVolume(const wchar_t* volumeName) {
    openedNames.emplace_back(volumeName);
    EmulatedHandheld* handheld = HandheldAt(DriveOfVolumeName(volumeName));
    if (handheld == nullptr || !handheld->NoteOpen()) return nullptr;
    ++openChannels;
    return std::make_unique<EmulatorChannel>(*this, handheld);
}
