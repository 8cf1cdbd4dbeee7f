// A handheld as its host sees it: a volume of 512-byte sectors with the identification in
// sector 0 and the mailbox through which its memory is read and written.
#pragma once

#include <cstdint>
#include <vector>

#include "emulator/EmulatorRecord.h"
#include "emulator/HandheldMemory.h"
#include "emulator/HandheldOptions.h"

class EmulatedHandheld {
public:
    static constexpr uint32_t kSectorSize = 512;
    static constexpr uint32_t kVolumeSectors = 4096;
    static constexpr uint64_t kVolumeBytes = uint64_t{kVolumeSectors} * kSectorSize;

    explicit EmulatedHandheld(const HandheldOptions& options);
    ~EmulatedHandheld();
    EmulatedHandheld(const EmulatedHandheld&) = delete;
    EmulatedHandheld& operator=(const EmulatedHandheld&) = delete;

    // Bytes moved, or -1: whole sectors, as a raw volume takes them.
    int32_t ReadSectors(uint32_t sector, uint32_t count, uint8_t* buffer);
    int32_t WriteSectors(uint32_t sector, uint32_t count, const uint8_t* buffer);
    // Any byte range, without mailbox effects: the host's own look at the volume.
    bool Peek(uint64_t offset, uint32_t length, uint8_t* buffer);

    // The volume lock the host holds around every block transfer.
    bool Lock();
    bool Unlock();

    // A channel opened and closed; opening fails once the handheld has vanished.
    bool NoteOpen(bool forWriting = true);
    void NoteClose();

    bool Vanished() const { return vanished; }
    const EmulatorRecord& Record() const { return record; }
    HandheldMemory& Memory() { return memory; }
    const HandheldOptions& Options() const { return options; }
    bool SaveMemory();

private:
    enum class Phase { Idle, Begun, Answering, Receiving };

    bool TakeOperation(bool write, uint32_t sector, uint32_t count, uint8_t command = 0);
    void CountWindow();
    void RunCommand(const uint8_t* sector);
    void BeginAnswer(uint32_t block);
    void FillReadWindow();
    void ReceiveWindow(const uint8_t* data, uint32_t length);
    void Complain(const char* what);
    uint8_t* Sector(uint32_t sector) { return volume.data() + size_t{sector} * kSectorSize; }

    HandheldOptions options;
    HandheldMemory memory;
    std::vector<uint8_t> volume;
    EmulatorRecord record;
    uint32_t operationCount = 0;
    bool vanished = false;
    bool dirty = false;

    Phase phase = Phase::Idle;
    uint64_t answerStart = 0;   // memory offset of the answer's payload
    uint32_t answerLength = 0;  // as sent, counting its own four bytes
    uint64_t answerSent = 0;    // bytes of the answer stream already in windows
    size_t scriptSent = 0;      // bytes of the scripted windows already served
    uint64_t receiveStart = 0;
    uint32_t receiveCount = 0;
    uint32_t received = 0;
};
