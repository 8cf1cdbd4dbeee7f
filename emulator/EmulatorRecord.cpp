#include "emulator/EmulatorRecord.h"

#include <cstdio>

#include "device/ByteOrder.h"

uint32_t MailboxCommand::Block() const {
    return LoadBe32(bytes.data() + 1);
}

uint32_t MailboxCommand::ByteCount() const {
    return LoadBe32(bytes.data() + 5);
}

uint32_t EmulatorRecord::CountCommands(uint8_t code) const {
    uint32_t count = 0;
    for (const MailboxCommand& command : commands) count += command.Code() == code ? 1 : 0;
    return count;
}

std::string EmulatorRecord::Summary() const {
    uint32_t reads = 0;
    uint32_t failed = 0;
    for (const SectorOperation& operation : operations) {
        reads += operation.write ? 0 : 1;
        failed += operation.failed ? 1 : 0;
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "opens=%u closes=%u open-handles=%d sector-ops=%zu sector-reads=%u "
                  "sector-writes=%zu failed-ops=%u commands=%zu windows-read=%u "
                  "windows-written=%u locks=%u unlocks=%u unaligned-reads=%u writable-opens=%u "
                  "closing-block=%s protocol-errors=%zu",
                  opens, closes, OpenHandles(), operations.size(), reads, operations.size() - reads,
                  failed, commands.size(), windowsRead, windowsWritten, locks, unlocks,
                  unalignedReads, writableOpens, closingBlockArrived ? "yes" : "no",
                  protocolErrors.size());
    return line;
}
