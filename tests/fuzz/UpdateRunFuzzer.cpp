// A whole update with the input as the data file and the handheld's system record: every
// look-up, list and placement is reached, and no data file may make the run read outside
// it, leave anything open or touch the handheld where its result says it did not.
#include <algorithm>
#include <cstring>

#include "EmulatedRun.h"
#include "FuzzCheck.h"
#include "engine/UpdateController.h"

namespace {

constexpr size_t kBlock = kBlockSize;

bool SameBlocks(const std::vector<uint8_t>& a, const uint8_t* b, uint32_t first, uint32_t end) {
    return std::equal(a.data() + first * kBlock, a.data() + end * kBlock, b + first * kBlock);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < HandheldHead::kSize) return 0;
    const HandheldHead head = HandheldHead::From(data);
    const HandheldOptions options = head.Options();
    EmulatedRun run(options, head.vwin32);
    const RunOutcome outcome = run.Run(data + HandheldHead::kSize, size - HandheldHead::kSize);

    const UpdateResult result = outcome.result;
    FuzzCheck(result != UpdateResult::NoHandheld && result != UpdateResult::SeveralHandhelds,
              "the one handheld is found");
    FuzzCheck(result != UpdateResult::ReadError && result != UpdateResult::WriteError,
              "a handheld that never fails is read and written");
    FuzzCheck(outcome.state == UpdateController::Ready, "the controller is ready again");
    FuzzCheck(
        !outcome.deviceLeftOpen && outcome.openChannels == 0 && run.Record().OpenHandles() == 0,
        "no channel is left open");
    FuzzCheck(outcome.busyCount == 0, "busyCount is lowered again");
    FuzzCheck(outcome.messages.size() == 2, "one warning, one result message");
    FuzzCheck(run.Record().protocolErrors.empty(), "the mailbox protocol is kept");
    // Every result a handheld that never fails can give calls for the closing block.
    FuzzCheck(run.Record().closingBlockArrived, "the closing block follows the result");

    HandheldMemory fresh;
    fresh.MakeFresh(options);
    const std::vector<uint8_t> memory = run.Memory();
    FuzzCheck(SameBlocks(memory, fresh.Bytes(), 0, 3), "blocks 0 to 2 are never written");
    if (result != UpdateResult::Updated) {
        FuzzCheck(SameBlocks(memory, fresh.Bytes(), 3, 512), "a failed run writes nothing back");
    } else {
        uint8_t version[2];
        std::memcpy(version, data + HandheldHead::kSize, 2);
        for (const uint32_t block : {509u, 511u}) {
            const uint8_t* word =
                memory.data() + block * kBlock + HandheldMemory::kVersionWordOffset;
            FuzzCheck(word[0] == version[0] && word[1] == version[1],
                      "an updated handheld holds the data version's low 16 bits");
        }
    }
    return 0;
}
