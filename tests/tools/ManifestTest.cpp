#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tools/zdat/FileIo.h"
#include "tools/zdat/Manifest.h"

namespace {

namespace fs = std::filesystem;

class Manifest : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(testing::TempDir()) /
                 ("zdat-manifest-" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder / "art");
        std::ofstream(folder / "art" / "eyes.bin", std::ios::binary) << "EYES";
    }
    void TearDown() override { fs::remove_all(folder); }

    // The error text, or "" when the manifest was accepted.
    std::string ErrorOf(const std::string& text) {
        std::string error;
        return ParseManifest(text, folder, &description, &error) ? "" : error;
    }

    fs::path folder;
    DataFileDescription description;
};

// A character in group 1 with the given resource and lists, wrapped into a whole manifest.
std::string WithResource(const std::string& resource, const std::string& extra = "") {
    return R"({"dataVersion": 592, "groups": [[], [{"number": 0, "resources": [)" + resource +
           R"(], "required": [], "second": [])" + extra + "}], []]}";
}

}  // namespace

TEST_F(Manifest, ReadsEveryFieldAndDataSource) {
    const std::string text = R"({
        "dataVersion": "0x0250", "reserved": "7",
        "groups": [[], [{"number": 2, "tag": "0xABCD",
            "resources": [
                {"id": "0x101", "block": 3, "file": "art/eyes.bin"},
                {"id": 258, "block": "0x10", "fill": 255, "length": 3},
                {"id": "0x103", "block": 20, "pattern": "ab", "length": 5},
                {"id": "0x104", "block": 21, "pattern": "xyz"}],
            "required": ["0x101", 258], "second": []}], []]})";
    ASSERT_EQ("", ErrorOf(text));
    EXPECT_EQ(0x250u, description.dataVersion);
    EXPECT_EQ(7u, description.reserved);
    EXPECT_TRUE(description.groups[0].characters.empty());
    ASSERT_EQ(1u, description.groups[1].characters.size());
    const CharacterDescription& character = description.groups[1].characters[0];
    EXPECT_EQ(2u, character.number);
    EXPECT_EQ(0xABCDu, character.tag);
    ASSERT_EQ(4u, character.resources.size());
    EXPECT_EQ(0x101u, character.resources[0].id);
    EXPECT_EQ((std::vector<uint8_t>{'E', 'Y', 'E', 'S'}), character.resources[0].bytes);
    EXPECT_EQ(0x10u, character.resources[1].destinationBlock);
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF, 0xFF}), character.resources[1].bytes);
    EXPECT_EQ((std::vector<uint8_t>{'a', 'b', 'a', 'b', 'a'}), character.resources[2].bytes);
    EXPECT_EQ((std::vector<uint8_t>{'x', 'y', 'z'}), character.resources[3].bytes);
    EXPECT_EQ((std::vector<uint32_t>{0x101, 258}), character.requiredList);
    EXPECT_EQ(std::vector<uint32_t>{}, character.secondList);
}

TEST_F(Manifest, AbsentListsStayAbsent) {
    ASSERT_EQ("", ErrorOf(R"({"dataVersion": 1, "groups": [[{"number": 0}], [], []]})"));
    EXPECT_FALSE(description.groups[0].characters[0].requiredList.has_value());
    EXPECT_FALSE(description.groups[0].characters[0].secondList.has_value());
}

TEST_F(Manifest, FaultsNameTheirPlace) {
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"{", "manifest: not valid JSON"},
        {"[]", "manifest: expected a JSON object"},
        {R"({"groups": [[], [], []]})", "manifest: missing \"dataVersion\""},
        {R"({"dataVersion": 1})", "manifest: missing \"groups\""},
        {R"({"dataVersion": 1, "groups": [[], []]})", "groups: expected an array of exactly 3"},
        {R"({"dataVersion": 1, "groups": [[], [], []], "extra": 0})", "unknown key \"extra\""},
        {R"({"dataVersion": -1, "groups": [[], [], []]})", "dataVersion: expected a number"},
        {R"({"dataVersion": 1.5, "groups": [[], [], []]})", "dataVersion: expected a number"},
        {R"({"dataVersion": "0x", "groups": [[], [], []]})", "not \"0x\""},
        {R"({"dataVersion": "12abc", "groups": [[], [], []]})", "not \"12abc\""},
        {R"({"dataVersion": "0x100000000", "groups": [[], [], []]})", "4294967296 is too large"},
        {R"({"dataVersion": 1, "groups": [[{}], [], []]})", "groups[0][0]: missing \"number\""},
        {R"({"dataVersion": 1, "groups": [[], [{"number": 0, "requird": []}], []]})",
         "groups[1][0]: unknown key \"requird\""},
        {WithResource(R"({"block": 3, "fill": 0, "length": 1})"),
         "groups[1][0].resources[0]: missing \"id\""},
        {WithResource(R"({"id": 1, "block": 3})"), "needs exactly one of"},
        {WithResource(R"({"id": 1, "block": 3, "fill": 0, "pattern": "a", "length": 1})"),
         "needs exactly one of"},
        {WithResource(R"({"id": 1, "block": 3, "fill": 256, "length": 1})"),
         "resources[0].fill: 256 is too large"},
        {WithResource(R"({"id": 1, "block": 3, "fill": 0})"), "\"fill\" needs a \"length\""},
        {WithResource(R"({"id": 1, "block": 3, "fill": 0, "length": 2084865})"),
         "resources[0].length: 2084865 is too large"},
        {WithResource(R"({"id": 1, "block": 3, "pattern": ""})"), "expected a non-empty string"},
        {WithResource(R"({"id": 1, "block": 3, "file": "art/eyes.bin", "length": 4})"),
         "not allowed with \"file\""},
        {WithResource(R"({"id": 1, "block": 3, "file": "art/nose.bin"})"),
         "resources[0].file: cannot read"},
        {WithResource(R"({"id": 1, "block": 3, "file": "art"})"), "not a regular file"},
        // Only the manifest's own folder, and no more than the handheld takes.
        {WithResource(R"({"id": 1, "block": 3, "file": "/proc/self/environ"})"),
         "\"/proc/self/environ\" is an absolute path"},
        {WithResource(R"({"id": 1, "block": 3, "file": "art/../../../../../proc/self/environ"})"),
         "leads out of the manifest's folder"},
        {WithResource(R"({"id": 1, "block": 3, "file": "art/out"})"), "leads out"},
        {WithResource(R"({"id": 1, "block": 3, "file": "art/big.bin"})"),
         "larger than 2084864 bytes"},
        {R"({"dataVersion": )" + std::string(100000, '[') + std::string(100000, ']') + "}",
         "dataVersion: expected a number from 0 to 4294967295, written as a JSON integer or a "
         "string such as \"0x1F\", not a JSON array"},
        {WithResource("", R"(, "tag": "x")"), "groups[1][0].tag: expected a number"},
        {R"({"dataVersion": 1, "groups": [[], [], [{"number": 0, "second": [1, "y"]}]]})",
         "groups[2][0].second[1]: expected a number"},
    };
    fs::create_symlink("/proc/self/environ", folder / "art" / "out");
    std::ofstream(folder / "art" / "big.bin").close();
    fs::resize_file(folder / "art" / "big.bin", 2084865);
    for (const auto& fault : cases) {
        const std::string error = ErrorOf(fault.text);
        EXPECT_NE(std::string::npos, error.find(fault.error))
            << "manifest: " << fault.text << "\nerror: " << error;
    }
}

TEST_F(Manifest, LoadNamesTheManifestAndReadsFilesBesideIt) {
    std::ofstream(folder / "m.json")
        << WithResource(R"({"id": 1, "block": 3, "file": "art/eyes.bin"})");
    std::string error;
    ASSERT_TRUE(LoadManifest(folder / "m.json", &description, &error)) << error;
    EXPECT_EQ(4u, description.groups[1].characters[0].resources[0].bytes.size());

    std::ofstream(folder / "bad.json") << "{}";
    EXPECT_FALSE(LoadManifest(folder / "bad.json", &description, &error));
    EXPECT_NE(std::string::npos, error.find("bad.json: manifest: missing")) << error;
    EXPECT_FALSE(LoadManifest(folder / "none.json", &description, &error));
    EXPECT_NE(std::string::npos, error.find("none.json")) << error;
}

TEST_F(Manifest, FailedWriteLeavesNoFileAndSaysWhy) {
    const std::vector<uint8_t> content = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(WriteWholeFile(folder / "missing" / "out.dat", content, &error));
    EXPECT_NE(std::string::npos, error.find("out.dat.tmp")) << error;
    EXPECT_FALSE(fs::exists(folder / "missing"));

    // A target that cannot be replaced (a folder) keeps its name and leaves no temporary file.
    fs::create_directories(folder / "taken.dat" / "inside");
    EXPECT_FALSE(WriteWholeFile(folder / "taken.dat", content, &error));
    EXPECT_NE(std::string::npos, error.find("cannot replace")) << error;
    EXPECT_FALSE(fs::exists(folder / "taken.dat.tmp"));

    ASSERT_TRUE(WriteWholeFile(folder / "out.dat", content, &error)) << error;
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadWholeFile(folder / "out.dat", &back, &error, 3)) << error;
    EXPECT_EQ(content, back);
    EXPECT_FALSE(fs::exists(folder / "out.dat.tmp"));
}
