// The data file checker on any bytes: it never crashes, and a file it calls well-formed is
// one the update takes: a run for the first character of every group reads nothing outside
// the file and ends updated, or already updated when the file's version is not newer.
#include <sstream>
#include <string>

#include "EmulatedRun.h"
#include "FuzzCheck.h"
#include "device/ByteOrder.h"
#include "engine/DataFileFormat.h"
#include "tools/zdat/DataFileChecker.h"
#include "tools/zdat/DataFileDumper.h"

namespace {

// The lowest version word of the current record layout.
constexpr uint16_t kHandheldVersion = 0x202;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<Violation> violations = CheckDataFile(data, size, CheckOptions{true});
    for (const Violation& violation : violations) {
        FuzzCheck(!violation.message.empty(), "every violation says what is wrong");
    }
    std::ostringstream listing;
    DumpDataFile(data, size, listing);
    if (!IsWellFormed(violations)) return 0;
    FuzzCheck(size >= kDataHeaderSize, "a well-formed file has its header");

    const UpdateResult expected =
        LoadLe32(data) > kHandheldVersion ? UpdateResult::Updated : UpdateResult::AlreadyUpdated;
    for (int16_t group = 0; group < kCharacterGroupCount; ++group) {
        const uint32_t count = LoadLe32(data + CharacterCountField(size_t(group)));
        if (count == 0) continue;
        const uint32_t table = LoadLe32(data + CharacterTableField(size_t(group)));
        const uint32_t number = LoadLe32(data + table + kCharacterNumberField);
        // The handheld holds its character number in 16 signed bits.
        if (number > 0x7FFF) continue;

        HandheldOptions options;
        options.versionWord = kHandheldVersion;
        options.characterGroup = group;
        options.characterNumber = static_cast<int16_t>(number);
        EmulatedRun run(options, false);
        const RunOutcome outcome = run.Run(data, size);
        FuzzCheck(outcome.result == expected, "a well-formed file updates its characters");
    }
    return 0;
}
