#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ProgramDataFile.h"

namespace {

class MappedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory =
            std::filesystem::temp_directory_path() /
            ("zumbiko-map-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::string Write(const char* name, const std::string& content) {
        const std::filesystem::path path = directory / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    std::filesystem::path directory;
};

}  // namespace

TEST_F(MappedFileTest, MapsTheWholeFileReadOnly) {
    const std::string path = Write("Zumbiko Update.dat", std::string("\x50\x02\0\0abc", 7));
    std::unique_ptr<MappedFile> file = MapFileReadOnly(path.c_str());
    ASSERT_TRUE(file);
    ASSERT_EQ(7u, file->Size());
    EXPECT_EQ(0x50, file->Bytes()[0]);
    EXPECT_EQ('c', file->Bytes()[6]);
    file.reset();
    EXPECT_TRUE(std::filesystem::remove(path)) << "the file is closed with its view";
}

TEST_F(MappedFileTest, MissingAndEmptyFilesCannotBeMapped) {
    EXPECT_FALSE(MapFileReadOnly((directory / "absent.dat").string().c_str()));
    const std::string empty = Write("empty.dat", "");
    EXPECT_FALSE(MapFileReadOnly(empty.c_str()));
    EXPECT_FALSE(MapFileReadOnly(directory.string().c_str())) << "a folder is no data file";
}
