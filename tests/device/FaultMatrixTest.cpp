// Every sector operation of a full update, failed once and, separately, with the handheld
// gone from it on. For each: the result, the closing block, the mailbox's transactions
// closed, the lock released, no handle left, the controller ready again, and the handheld's
// memory changed only by the windows that went out before the fault. Then the handheld is
// plugged in again and updated by the same program: its memory must end as if nothing had
// torn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "EmulatedRun.h"
#include "UpdateFixture.h"
#include "engine/UpdateController.h"

namespace {

constexpr size_t kBlock = kBlockSize;
constexpr uint32_t kCommandSector = 49;
constexpr uint8_t kBegin = 0x80;
constexpr uint8_t kEnd = 0x81;
// Blocks 3 to 511 go out in windows of 8192 bytes: 255 of them.
constexpr size_t kWriteBackBytes = 509 * kBlock;

enum class Fault { FailOne, VanishFrom };
enum class Role { Identify, Begin, Command, Window, End };
enum Transaction : int32_t { kScan = -1, kReadLow, kReadHigh, kWriteBack, kClosing };

// Where one operation of the successful run stands.
struct Step {
    Role role = Role::Identify;
    int32_t transaction = kScan;
    uint32_t window = 0;  // within its transaction
};

// A look at sector 0 after the scan's belongs to the transaction whose open it guards.
std::vector<Step> StepsOf(const EmulatorRecord& record) {
    std::vector<Step> steps;
    int32_t transaction = kScan;
    uint32_t window = 0;
    for (const SectorOperation& op : record.operations) {
        Step step{Role::Window, transaction, window};
        if (op.sector == 0) {
            step = {Role::Identify, steps.empty() ? kScan : transaction + 1, 0};
        } else if (op.write && op.sector == kCommandSector) {
            if (op.command == kBegin) {
                step.transaction = ++transaction;
                window = 0;
            }
            step.role = op.command == kBegin ? Role::Begin
                        : op.command == kEnd ? Role::End
                                             : Role::Command;
        } else {
            step.window = window++;
        }
        steps.push_back(step);
    }
    return steps;
}

// What the procedure gives when this step fails. EndCommand's answer is never looked at,
// nor is anything of the closing block's transfer.
UpdateResult ExpectedResult(const Step& step, Fault fault) {
    switch (step.transaction) {
        case kScan:
            return UpdateResult::NoHandheld;
        case kReadLow:
        case kReadHigh:
            if (step.role != Role::End) return UpdateResult::ReadError;
            if (fault == Fault::FailOne) return UpdateResult::Updated;
            // Gone: the next transfer finds no handheld.
            return step.transaction == kReadLow ? UpdateResult::ReadError
                                                : UpdateResult::WriteError;
        case kWriteBack:
            return step.role == Role::End ? UpdateResult::Updated : UpdateResult::WriteError;
        default:
            return UpdateResult::Updated;
    }
}

// Walks the command sector writes the handheld was asked for, failed ones included: each
// BeginCommand that went through is followed by one read or write command and then, whatever
// became of that, by an EndCommand; a failed BeginCommand by none. No window is retried.
void CheckTransactions(const EmulatorRecord& record, std::vector<std::string>& problems) {
    enum class Expect { Begin, Command, End } expect = Expect::Begin;
    bool windowFailed = false;
    for (const SectorOperation& op : record.operations) {
        if (!(op.write && op.sector == kCommandSector)) {
            if (op.sector != 0 && windowFailed) problems.push_back("a failed window was retried");
            windowFailed = windowFailed || (op.sector != 0 && op.failed);
            continue;
        }
        const bool begin = op.command == kBegin;
        const bool end = op.command == kEnd;
        switch (expect) {
            case Expect::Begin:
                if (!begin) problems.push_back("a command outside a transaction");
                expect = begin && !op.failed ? Expect::Command : Expect::Begin;
                break;
            case Expect::Command:
                if (begin || end) problems.push_back("no read or write command after Begin");
                expect = Expect::End;
                break;
            case Expect::End:
                if (!end) problems.push_back("a transaction without its EndCommand");
                expect = Expect::Begin;
                windowFailed = false;
                break;
        }
    }
    if (expect != Expect::Begin) problems.push_back("the last transaction was left open");
}

// The path the handheld is reached by, and whether its records have the older layout, which
// the run converts on the way.
struct Setup {
    const char* name;
    bool vwin32;
    bool oldLayout;
};

void PrintTo(const Setup& setup, std::ostream* out) {
    *out << setup.name;
}

class FaultMatrixTest : public ::testing::TestWithParam<Setup> {
protected:
    void SetUp() override {
        if (GetParam().oldLayout) UseOldLayout(handheld, 5);  // group 2, number 1
        EmulatedRun reference(handheld, GetParam().vwin32);
        const RunOutcome outcome = reference.Run(data.data(), data.size());
        ASSERT_EQ(outcome.result, UpdateResult::Updated);
        HandheldMemory memory;
        memory.MakeFresh(handheld);
        fresh.assign(memory.Bytes(), memory.Bytes() + HandheldMemory::kSize);
        updated = reference.Memory();
        if (!GetParam().oldLayout) {
            ASSERT_TRUE(CheckMemory(updated, true, true).empty());
        }
        steps = StepsOf(reference.Record());
    }

    uint32_t FirstOperationOf(int32_t transaction) const {
        for (size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].transaction == transaction) return static_cast<uint32_t>(i + 1);
        }
        return 0;
    }

    // Problems with one faulty run, empty when it behaved.
    std::vector<std::string> RunWithFault(uint32_t operation, Fault fault) {
        HandheldOptions options = handheld;
        (fault == Fault::FailOne ? options.failOperation : options.vanishAtOperation) = operation;
        EmulatedRun run(options, GetParam().vwin32);
        const RunOutcome outcome = run.Run(data.data(), data.size());
        const EmulatorRecord& record = run.Record();
        const Step& step = steps[operation - 1];
        std::vector<std::string> problems;
        auto expect = [&problems](bool holds, const std::string& what) {
            if (!holds) problems.push_back(what);
        };

        const UpdateResult result = ExpectedResult(step, fault);
        expect(outcome.result == result,
               "result " + std::to_string(static_cast<int>(outcome.result)) + ", expected " +
                   std::to_string(static_cast<int>(result)));
        expect(outcome.state == UpdateController::Ready, "controller not back in Ready");
        expect(!outcome.deviceLeftOpen && outcome.openChannels == 0 && record.OpenHandles() == 0,
               "a channel left open");
        expect(outcome.busyCount == 0, "busyCount not lowered");
        expect(outcome.messages.size() == (result == UpdateResult::NoHandheld ? 1u : 2u),
               "not exactly one result message");
        // Every lock the handheld granted is given back, even to a handheld that has gone.
        expect(record.locks == record.unlockRequests, "a volume lock not released");
        CheckTransactions(record, problems);

        // Of the results here only an update ends with the closing block, unless the handheld
        // is gone by then or its own transfer is what failed.
        const bool goneBeforeClosing =
            fault == Fault::VanishFrom && operation < FirstOperationOf(kClosing);
        const bool closingTransferFailed = step.transaction == kClosing && step.role != Role::End;
        const bool closing =
            result == UpdateResult::Updated && !goneBeforeClosing && !closingTransferFailed;
        expect(record.closingBlockArrived == closing, "closing block wrong");

        // Windows of the write-back that went out before the fault.
        uint32_t windows = 0;
        if (result == UpdateResult::Updated) windows = 255;
        if (result == UpdateResult::WriteError && step.transaction == kWriteBack &&
            step.role == Role::Window) {
            windows = step.window;
        }
        std::vector<uint8_t> expected = fresh;
        const size_t written = std::min<size_t>(size_t{windows} * 8192, kWriteBackBytes);
        std::copy_n(updated.begin() + 3 * kBlock, written, expected.begin() + 3 * kBlock);
        if (closing) std::fill(expected.begin() + 512 * kBlock, expected.end(), 0);
        ExpectMemory(run.Memory(), expected, "", problems);

        // Plugged in again: the next run updates it, unless the torn one already said so,
        // and leaves it exactly as an update that never tore.
        run.Reconnect();
        const UpdateResult again =
            result == UpdateResult::Updated ? UpdateResult::AlreadyUpdated : UpdateResult::Updated;
        const UpdateResult second = run.Run(data.data(), data.size()).result;
        expect(second == again, "second run: result " + std::to_string(static_cast<int>(second)));
        ExpectMemory(run.Memory(), updated, "after the second run ", problems);
        return problems;
    }

    static void ExpectMemory(const std::vector<uint8_t>& memory,
                             const std::vector<uint8_t>& expected, const std::string& when,
                             std::vector<std::string>& problems) {
        for (uint32_t block = 0; block < HandheldMemory::kBlocks; ++block) {
            const uint8_t* actual = memory.data() + block * kBlock;
            if (!std::equal(actual, actual + kBlock, expected.data() + block * kBlock)) {
                problems.push_back(when + "block " + std::to_string(block) + " differs");
                return;
            }
        }
    }

    HandheldOptions handheld = FixtureHandheld();
    std::vector<uint8_t> data =
        BuildDataFile(*FixtureDataFileVariant(GetParam().oldLayout ? "old-layout" : "standard"));
    std::vector<uint8_t> fresh;
    std::vector<uint8_t> updated;
    std::vector<Step> steps;
};

TEST_P(FaultMatrixTest, EveryOperationFailedOnceOrVanishedFrom) {
    // The scan's identification, the run's, two block reads of four operations, the
    // write-back's Begin, write command, 255 windows and End, and the closing block's
    // identification and four.
    ASSERT_EQ(steps.size(), 1u + 1 + 4 + 4 + 258 + 1 + 4);
    RecordProperty("sector_operations", static_cast<int>(steps.size()));
    for (const Fault fault : {Fault::FailOne, Fault::VanishFrom}) {
        for (uint32_t operation = 1; operation <= steps.size(); ++operation) {
            const std::vector<std::string> problems = RunWithFault(operation, fault);
            std::string text;
            for (const std::string& problem : problems) text += "\n  " + problem;
            EXPECT_TRUE(problems.empty()) << (fault == Fault::FailOne ? "failing" : "vanishing at")
                                          << " operation " << operation << ":" << text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, FaultMatrixTest,
                         ::testing::Values(Setup{"Volume", false, false},
                                           Setup{"Vwin32", true, false},
                                           Setup{"OldLayout", false, true}),
                         [](const ::testing::TestParamInfo<Setup>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
