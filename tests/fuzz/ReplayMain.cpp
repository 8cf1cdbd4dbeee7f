// Runs the fuzz target once over every file named, or every file in the directories named,
// for builds without libFuzzer: the committed corpus as a regression test under the
// ordinary compilers and their sanitizers.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "FuzzCheck.h"

namespace {

bool RunFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                     std::istreambuf_iterator<char>()};
    // An exact-size copy, so a read one past the end shows.
    const auto copy = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    LLVMFuzzerTestOneInput(copy.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
            std::sort(files.begin(), files.end());
        } else {
            files.emplace_back(argv[i]);
        }
        for (const auto& path : files) {
            if (!RunFile(path)) {
                std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
                return 1;
            }
            ++inputs;
        }
    }
    std::printf("%zu inputs ran\n", inputs);
    return inputs == 0 ? 1 : 0;
}
