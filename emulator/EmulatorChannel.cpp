#include "emulator/EmulatorChannel.h"

#include "emulator/EmulatedHandheld.h"
#include "emulator/EmulatorVolumes.h"

EmulatorChannel::EmulatorChannel(EmulatorVolumes& volumes, EmulatedHandheld* handheld)
    : volumes(volumes), handheld(handheld) {}

EmulatorChannel::~EmulatorChannel() {
    if (handheld != nullptr) handheld->NoteClose();
    volumes.NoteChannelClosed();
}

EmulatedHandheld* EmulatorChannel::Target(int32_t driveIndex) const {
    return handheld != nullptr ? handheld : volumes.HandheldAt(driveIndex);
}

int32_t EmulatorChannel::ReadSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                                     uint8_t* buffer) {
    EmulatedHandheld* target = Target(driveIndex);
    return target != nullptr ? target->ReadSectors(sector, count, buffer) : -1;
}

int32_t EmulatorChannel::WriteSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                                      const uint8_t* buffer) {
    EmulatedHandheld* target = Target(driveIndex);
    return target != nullptr ? target->WriteSectors(sector, count, buffer) : -1;
}

VolumeLock EmulatorChannel::LockVolume(int32_t driveIndex) {
    EmulatedHandheld* target = Target(driveIndex);
    return target != nullptr && target->Lock() ? VolumeLock::Locked : VolumeLock::Refused;
}

bool EmulatorChannel::UnlockVolume(int32_t driveIndex) {
    EmulatedHandheld* target = Target(driveIndex);
    return target != nullptr && target->Unlock();
}
