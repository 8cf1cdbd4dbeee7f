// What an emulated handheld saw: sector traffic, mailbox commands, locks, opens and closes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct SectorOperation {
    bool write = false;
    uint32_t sector = 0;
    uint32_t count = 0;
    bool failed = false;
    // Byte 0 of a command sector write, failed or not; 0 for any other operation.
    uint8_t command = 0;
};

struct MailboxCommand {
    std::array<uint8_t, 16> bytes{};
    uint8_t Code() const { return bytes[0]; }
    uint32_t Block() const;
    uint32_t ByteCount() const;
};

struct EmulatorRecord {
    std::vector<SectorOperation> operations;
    std::vector<MailboxCommand> commands;
    uint32_t windowsRead = 0;
    uint32_t windowsWritten = 0;
    uint32_t opens = 0;
    // Of the opens, those that may write.
    uint32_t writableOpens = 0;
    uint32_t closes = 0;
    uint32_t locks = 0;
    uint32_t unlocks = 0;
    // Asked for, whether or not the handheld was still there to take it.
    uint32_t unlockRequests = 0;
    int32_t lockDepth = 0;
    // Host reads that were not whole aligned sectors; served without touching the mailbox.
    uint32_t unalignedReads = 0;
    bool closingBlockArrived = false;
    // Departures from the mailbox protocol, in words.
    std::vector<std::string> protocolErrors;

    int32_t OpenHandles() const { return static_cast<int32_t>(opens - closes); }
    uint32_t CountCommands(uint8_t code) const;
    // One line of counts, for people and scripts.
    std::string Summary() const;
};
