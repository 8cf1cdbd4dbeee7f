#include "emulator/EmulatedHandheld.h"

#include <algorithm>
#include <cstring>

#include "device/ByteOrder.h"

namespace {

constexpr uint32_t kCommandSector = 49;
constexpr uint32_t kWriteWindowSector = 51;
constexpr uint32_t kReadWindowSector = 88;
constexpr uint32_t kWindowSectors = 16;
constexpr uint32_t kWindowBytes = kWindowSectors * EmulatedHandheld::kSectorSize;

constexpr uint8_t kBegin = 0x80;
constexpr uint8_t kRead = 0x28;
constexpr uint8_t kWrite = 0x2A;
constexpr uint8_t kEnd = 0x81;

constexpr uint32_t kLabelOffset = 43;

// A FAT16 boot sector of a small removable volume; the label field carries the
// identification.
void MakeBootSector(uint8_t* sector, const HandheldOptions& options) {
    static const uint8_t kHead[] = {0xEB, 0x3C, 0x90, 'M',  'S',  'D',  'O',  'S',
                                    '5',  '.',  '0',  0x00, 0x02,  // 512 bytes per sector
                                    0x04,                          // sectors per cluster
                                    0x01, 0x00,                    // reserved sectors
                                    0x02,                          // FATs
                                    0x00, 0x02,                    // root entries
                                    0x00, 0x10,                    // 4096 sectors
                                    0xF8, 0x04, 0x00, 0x20, 0x00, 0x40, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80,
                                    0x00, 0x29, 0x5A, 0x42, 0x4B, 0x4F};
    std::memcpy(sector, kHead, sizeof kHead);
    std::memcpy(sector + kLabelOffset, options.label.data(), options.label.size());
    static const uint8_t kFileSystem[] = {'F', 'A', 'T', '1', '6', ' ', ' ', ' '};
    std::memcpy(sector + 54, kFileSystem, sizeof kFileSystem);
    sector[510] = 0x55;
    sector[511] = 0xAA;
}

}  // namespace

EmulatedHandheld::EmulatedHandheld(const HandheldOptions& options)
    : options(options), volume(kVolumeBytes) {
    if (options.memoryFile.empty() || !memory.Load(options.memoryFile)) {
        memory.MakeFresh(options);
        if (!options.memoryFile.empty()) memory.Save(options.memoryFile);
    }
    MakeBootSector(Sector(0), options);
}

EmulatedHandheld::~EmulatedHandheld() {
    SaveMemory();
}

bool EmulatedHandheld::SaveMemory() {
    if (options.memoryFile.empty() || !dirty) return true;
    dirty = false;
    return memory.Save(options.memoryFile);
}

void EmulatedHandheld::Complain(const char* what) {
    record.protocolErrors.emplace_back(what);
}

// Every sector operation counts, so a fault can pick any one of them.
bool EmulatedHandheld::TakeOperation(bool write, uint32_t sector, uint32_t count, uint8_t command) {
    ++operationCount;
    if (operationCount == options.vanishAtOperation) vanished = true;
    const bool inRange = count != 0 && sector < kVolumeSectors && count <= kVolumeSectors - sector;
    const bool failed = vanished || operationCount == options.failOperation || !inRange;
    record.operations.push_back({write, sector, count, failed, command});
    return !failed;
}

void EmulatedHandheld::CountWindow() {
    if (options.vanishAfterWindows &&
        record.windowsRead + record.windowsWritten >= *options.vanishAfterWindows) {
        vanished = true;
    }
}

int32_t EmulatedHandheld::ReadSectors(uint32_t sector, uint32_t count, uint8_t* buffer) {
    if (!TakeOperation(false, sector, count)) return -1;
    if (sector == kReadWindowSector) {
        if (phase == Phase::Answering) {
            FillReadWindow();
        } else {
            Complain("read window read outside a read command");
            std::memset(Sector(kReadWindowSector), 0, kWindowBytes);
        }
        ++record.windowsRead;
    }
    std::memcpy(buffer, Sector(sector), size_t{count} * kSectorSize);
    if (sector == kReadWindowSector) CountWindow();
    return static_cast<int32_t>(count * kSectorSize);
}

int32_t EmulatedHandheld::WriteSectors(uint32_t sector, uint32_t count, const uint8_t* buffer) {
    const uint8_t command = sector == kCommandSector ? buffer[0] : 0;
    if (!TakeOperation(true, sector, count, command)) return -1;
    const uint32_t end = sector + count;
    if (sector == kCommandSector) {
        std::memcpy(Sector(sector), buffer, kSectorSize);
        RunCommand(buffer);
    } else if (sector == kWriteWindowSector) {
        ReceiveWindow(buffer, std::min(count, kWindowSectors) * kSectorSize);
        ++record.windowsWritten;
        CountWindow();
    } else if (sector <= kCommandSector && end > kCommandSector) {
        Complain("write across the command sector");
    } else if (sector < kReadWindowSector + kWindowSectors && end > kWriteWindowSector) {
        Complain("write into a window not at its start");
    } else {
        std::memcpy(Sector(sector), buffer, size_t{count} * kSectorSize);
    }
    return static_cast<int32_t>(count * kSectorSize);
}

bool EmulatedHandheld::Peek(uint64_t offset, uint32_t length, uint8_t* buffer) {
    if (vanished || offset > kVolumeBytes || length > kVolumeBytes - offset) return false;
    ++record.unalignedReads;
    std::memcpy(buffer, volume.data() + offset, length);
    return true;
}

bool EmulatedHandheld::Lock() {
    if (vanished) return false;
    ++record.locks;
    ++record.lockDepth;
    return true;
}

bool EmulatedHandheld::Unlock() {
    ++record.unlockRequests;
    if (vanished) return false;
    ++record.unlocks;
    if (record.lockDepth == 0) {
        Complain("unlock without a lock");
    } else {
        --record.lockDepth;
    }
    return true;
}

bool EmulatedHandheld::NoteOpen(bool forWriting) {
    if (vanished) return false;
    ++record.opens;
    if (forWriting) ++record.writableOpens;
    return true;
}

void EmulatedHandheld::NoteClose() {
    ++record.closes;
}

void EmulatedHandheld::RunCommand(const uint8_t* sector) {
    MailboxCommand command;
    std::memcpy(command.bytes.data(), sector, command.bytes.size());
    record.commands.push_back(command);
    const uint32_t block = command.Block();
    switch (command.Code()) {
        case kBegin:
            if (phase != Phase::Idle) Complain("BeginCommand inside a transaction");
            phase = Phase::Begun;
            break;
        case kRead:
            if (phase != Phase::Begun) Complain("ReadCommand without BeginCommand");
            BeginAnswer(block);
            phase = Phase::Answering;
            break;
        case kWrite:
            if (phase != Phase::Begun) Complain("WriteCommand without BeginCommand");
            receiveStart = uint64_t{block} * kBlockSize;
            receiveCount = command.ByteCount();
            received = 0;
            phase = Phase::Receiving;
            break;
        case kEnd:
            if (phase == Phase::Idle) Complain("EndCommand without BeginCommand");
            if (phase == Phase::Receiving && received < receiveCount) {
                Complain("write transaction ended before all its bytes came");
            }
            phase = Phase::Idle;
            SaveMemory();
            break;
        default:
            Complain("unknown command");
            break;
    }
}

// The answer is a stream: four length bytes, then memory from the block asked for, as far
// as the length says; zeros after it.
void EmulatedHandheld::BeginAnswer(uint32_t block) {
    answerStart = uint64_t{block} * kBlockSize;
    const uint64_t available =
        answerStart < HandheldMemory::kSize ? HandheldMemory::kSize - answerStart : 0;
    const auto payload =
        static_cast<uint32_t>(std::min<uint64_t>(options.answerPayload, available));
    answerLength = options.answerLength.value_or(payload + 4);
    answerSent = 0;
}

void EmulatedHandheld::FillReadWindow() {
    uint8_t* window = Sector(kReadWindowSector);
    std::memset(window, 0, kWindowBytes);
    if (options.scriptedWindows) {
        const std::vector<uint8_t>& script = *options.scriptedWindows;
        const size_t left = script.size() - std::min(scriptSent, script.size());
        const size_t take = std::min<size_t>(kWindowBytes, left);
        if (take != 0) std::memcpy(window, script.data() + scriptSent, take);
        scriptSent += kWindowBytes;
        return;
    }
    if (answerSent >= answerLength) Complain("read window read past the answer");
    for (uint32_t i = 0; i < kWindowBytes; ++i) {
        const uint64_t at = answerSent + i;
        if (at < 4) {
            window[i] = static_cast<uint8_t>(answerLength >> (24 - 8 * at));
            continue;
        }
        const uint64_t source = answerStart + (at - 4);
        if (at < answerLength && source < HandheldMemory::kSize) window[i] = memory.Bytes()[source];
    }
    answerSent += kWindowBytes;
}

void EmulatedHandheld::ReceiveWindow(const uint8_t* data, uint32_t length) {
    if (phase != Phase::Receiving) {
        Complain("write window written outside a write command");
        return;
    }
    const uint32_t take = std::min(receiveCount - received, length);
    const uint64_t at = receiveStart + received;
    if (at + take > HandheldMemory::kSize) {
        Complain("write past the end of memory");
    } else {
        std::memcpy(memory.Bytes() + at, data, take);
        dirty = true;
    }
    received += take;
    constexpr uint64_t kClosingStart = uint64_t{kClosingBlock} * kBlockSize;
    if (received == receiveCount && receiveStart <= kClosingStart &&
        receiveStart + receiveCount >= HandheldMemory::kSize) {
        record.closingBlockArrived = true;
    }
}
