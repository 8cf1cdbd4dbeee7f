// Makes the fuzz targets' seed corpora with the data file writer and the emulated handheld,
// so that every seed is a real update's input, and checks the committed ones against them.
//
//   fuzz-seeds write DIR   writes DIR/<target>/<seed>
//   fuzz-seeds check DIR   fails unless DIR holds exactly those files
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "UpdateFixture.h"
#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "device/ObservedVolumes.h"
#include "emulator/EmulatedHandheld.h"
#include "tests/support/EmulatedSystem.h"
#include "tests/tools/DataFileExamples.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Corpus = std::map<std::string, Bytes>;  // "<target>/<seed>" to its bytes

constexpr uint32_t kReadWindowSector = 88;

// The handheld's record and path, then the data file, as the update-run target reads them.
Bytes UpdateRunSeed(const HandheldOptions& handheld, bool vwin32, const Bytes& dataFile) {
    Bytes seed = {static_cast<uint8_t>(handheld.versionWord),
                  static_cast<uint8_t>(handheld.versionWord >> 8),
                  static_cast<uint8_t>(handheld.characterGroup),
                  static_cast<uint8_t>(handheld.characterGroup >> 8),
                  static_cast<uint8_t>(handheld.characterNumber),
                  static_cast<uint8_t>(handheld.characterNumber >> 8),
                  static_cast<uint8_t>(vwin32 ? 1 : 0)};
    seed.insert(seed.end(), dataFile.begin(), dataFile.end());
    return seed;
}

// The windows the emulator sends for a read of this many blocks from block 509 - back.
Bytes ReadBlocksSeed(uint32_t blocks, uint32_t answerPayload, bool vwin32, uint32_t back = 0) {
    // The target takes the blocks as byte 0 modulo 6 and back as its upper four bits.
    uint8_t head = 0;
    for (uint32_t low = 0; low < 16; ++low) {
        if (((back << 4) | low) % 6 == blocks) head = static_cast<uint8_t>((back << 4) | low);
    }
    HandheldOptions options;
    options.answerPayload = answerPayload;
    EmulatedHandheld handheld(options);
    EmulatedSystem test;
    test.volumes.Attach(kDriveE, &handheld);
    Bytes seed = {head, static_cast<uint8_t>(vwin32 ? 1 : 0)};
    // Keeps a copy of every read window.
    ObservedVolumes tapped(test.volumes, [&seed](const VolumeEvent& event) {
        if (event.kind == VolumeEvent::Kind::Read && event.sector == kReadWindowSector &&
            event.moved > 0) {
            seed.insert(seed.end(), event.bytes, event.bytes + event.moved);
        }
    });
    const RefPtr<HandheldDevice> device =
        new HandheldDevice(kDriveE, {&tapped, &test.sleeper, &test.window});
    Bytes destination(size_t{blocks} * 4096);
    if (!device->Open() || !device->ReadBlocks(509 - back, blocks * 4096, destination.data()))
        return {};
    return seed;
}

Corpus MakeCorpus() {
    Corpus corpus;
    const Bytes fixture = BuildDataFile(FixtureDataFile());
    DataFileDescription inGroupTwo = FixtureDataFile();
    inGroupTwo.groups[2].characters = inGroupTwo.groups[1].characters;
    const Bytes groupTwo = BuildDataFile(inGroupTwo);
    DataFileDescription bare;
    bare.dataVersion = 0x203;
    bare.groups[0].characters = {
        {0, 0, {{0x1, 3, {}, std::nullopt}}, std::vector<uint32_t>{0x1}, std::vector<uint32_t>{}}};
    const Bytes bareFile = BuildDataFile(bare);

    HandheldOptions handheld = FixtureHandheld();
    corpus["update-run/fixture-volume"] = UpdateRunSeed(handheld, false, fixture);
    corpus["update-run/fixture-vwin32"] = UpdateRunSeed(handheld, true, fixture);
    HandheldOptions old = handheld;
    UseOldLayout(old, 5);
    corpus["update-run/old-layout"] = UpdateRunSeed(old, false, groupTwo);
    HandheldOptions unknown = handheld;
    unknown.characterNumber = 9;
    corpus["update-run/unknown-character"] = UpdateRunSeed(unknown, false, fixture);
    HandheldOptions lowest = handheld;
    lowest.characterGroup = 0;
    lowest.characterNumber = 0;
    lowest.versionWord = 0x202;
    corpus["update-run/empty-resource"] = UpdateRunSeed(lowest, false, bareFile);

    corpus["read-blocks/one-block"] = ReadBlocksSeed(1, 4096, false);
    corpus["read-blocks/one-block-vwin32"] = ReadBlocksSeed(1, 4096, true);
    corpus["read-blocks/two-blocks-one-answer"] = ReadBlocksSeed(2, 8192, false);
    corpus["read-blocks/three-blocks-one-answer"] = ReadBlocksSeed(3, 3 * 4096, false);
    corpus["read-blocks/five-answers"] = ReadBlocksSeed(5, 4096, false, 9);

    corpus["data-file-check/fixture"] = fixture;
    corpus["data-file-check/group-two"] = groupTwo;
    corpus["data-file-check/empty-resource"] = bareFile;
    corpus["data-file-check/shared-structures"] = SharedStructuresFile(64);
    return corpus;
}

bool Write(const std::filesystem::path& root, const Corpus& corpus) {
    for (const auto& [name, bytes] : corpus) {
        const std::filesystem::path path = root / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) return false;
    }
    return true;
}

bool Check(const std::filesystem::path& root, const Corpus& corpus) {
    bool same = true;
    for (const auto& [name, bytes] : corpus) {
        std::ifstream file(root / name, std::ios::binary);
        const Bytes committed{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
        if (!file.is_open() || committed != bytes) {
            std::printf("differs or missing: %s\n", name.c_str());
            same = false;
        }
    }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc == 3 ? argv[1] : "";
    const Corpus corpus = MakeCorpus();
    for (const auto& [name, bytes] : corpus) {
        if (bytes.empty()) {
            std::fprintf(stderr, "fuzz-seeds: could not make %s\n", name.c_str());
            return 1;
        }
    }
    if (command == "write") return Write(argv[2], corpus) ? 0 : 1;
    if (command == "check") {
        if (!Check(argv[2], corpus)) {
            std::printf("seeds are stale: run fuzz-seeds write %s\n", argv[2]);
            return 1;
        }
        std::printf("%zu seeds current\n", corpus.size());
        return 0;
    }
    std::fprintf(stderr, "usage: fuzz-seeds write|check DIR\n");
    return 2;
}
