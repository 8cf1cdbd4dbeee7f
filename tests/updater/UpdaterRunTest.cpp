// zumbiko-update run as a user runs it, against handhelds the emulator serves over FUSE: each
// result, --check, progress on and off a terminal, and what it refuses to do. Where a test
// needs the system to look otherwise than it does, the run is in process.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "FixtureHandhelds.h"
#include "HandheldOpen.h"
#include "HandheldScan.h"
#include "RunProgram.h"
#include "ServedEmulator.h"
#include "UpdateFixture.h"
#include "Updater.h"
#include "emulator/HandheldMemory.h"
#include "tests/support/ResultTable.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::vector<uint8_t> ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteData(const std::string& path, const DataFileDescription& description) {
    const std::vector<uint8_t> bytes = BuildDataFile(description);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The fixture's handheld options as handheld-emu arguments, for the handheld named.
std::vector<std::string> Handheld(const std::string& name, std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments = {"--handheld", name,
                                          "--memory",   "@DIR@/" + name + ".memory",
                                          "--version",  std::to_string(kFixtureOldVersion),
                                          "--group",    "1",
                                          "--number",   "1"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

std::vector<std::string> Concat(const std::vector<std::vector<std::string>>& parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The report line of one served handheld.
std::string ReportOf(const ServedEmulator& served, const std::string& name) {
    const std::string report = served.Report();
    const size_t at = report.find(name + " opens=");
    if (at == std::string::npos || (at != 0 && report[at - 1] != '\n')) return "";
    return report.substr(at, report.find('\n', at) - at);
}

// What the program says for a message, from its message table.
std::string Said(MessageId id, int32_t language = kLanguageEnglish) {
    languageIndex = language;
    const std::wstring text = MessageText(id);
    languageIndex = kLanguageEnglish;
    return {text.begin(), text.end()};
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string TextOf(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text.push_back(static_cast<char>(c));
    std::fclose(file);
    return text;
}

// RunUpdater in a child process, as the user given unless 0: what it said and returned.
ProgramRun RunInProcess(const UpdaterOptions& options, uid_t user = 0) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const pid_t child = fork();
    if (child == 0) {
        if (user != 0 && (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0)) {
            _exit(126);
        }
        const int code = RunUpdater(options, out, err, false);
        std::fflush(out);
        std::fflush(err);
        _exit(code);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = TextOf(out);
    run.err = TextOf(err);
    return run;
}

class UpdaterRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ServedEmulator::Available()) GTEST_SKIP() << "no /dev/fuse or handheld-emu";
    }

    ProgramRun Update(std::vector<std::string> arguments, const RunSettings& settings = {}) {
        arguments.insert(arguments.begin(), ZUMBIKO_UPDATE_PATH);
        return RunProgram(arguments, settings);
    }
    // Memory files are saved when the emulator stops.
    static std::vector<std::string> MemoryProblems(ServedEmulator& served, const std::string& name,
                                                   bool updated, bool closing) {
        return CheckMemory(ReadWhole(served.Directory() + "/" + name + ".memory"), updated,
                           closing);
    }
};

// The rows of the result table (but several handhelds: a named device is one drive, the
// search has its own test), and the data files only the command line can be given.
TEST_F(UpdaterRunTest, EachResultWithItsMessageExitStatusAndEffectOnTheHandheld) {
    std::vector<ResultRow> rows;
    for (const ResultRow& row : ResultRows()) {
        if (row.result != 3) rows.push_back(row);
    }
    const std::pair<const char*, const char*> refused[] = {
        {"fifo", "fifo.dat: not a regular file"},
        {"linked", "linked.dat: a symbolic link"},
        {"zero", "data version 0x0000 updates no handheld"},
        {"huge", "larger than the 4 GiB and 2 MiB"}};
    std::vector<std::vector<std::string>> handhelds;
    handhelds.reserve(rows.size() + std::size(refused));
    for (const ResultRow& row : rows) handhelds.push_back(Handheld(row.name, row.handheld));
    for (const auto& [name, says] : refused) handhelds.push_back(Handheld(name));
    ServedEmulator served(Concat(handhelds));
    ASSERT_TRUE(served.Running());
    const std::string dir = served.Directory();
    for (const ResultRow& row : rows) {
        const auto description = FixtureDataFileVariant(row.data);
        if (description) WriteData(dir + "/" + row.data + ".dat", *description);
    }
    // Data files that would hang the run, are not what they seem, or update nothing: refused
    // before any drive is touched.
    ASSERT_EQ(mkfifo((dir + "/fifo.dat").c_str(), 0600), 0);
    fs::create_symlink("standard.dat", dir + "/linked.dat");
    std::ofstream(dir + "/zero.dat") << std::string(4096, '\0');
    std::ofstream(dir + "/huge.dat").close();
    fs::resize_file(dir + "/huge.dat", 0x100200001);

    auto expect = [&](const std::string& name, const std::string& data, int result,
                      const std::string& says) {
        const ProgramRun run = Update(
            {"--device", served.PathOf(name), "--data", dir + "/" + data + ".dat", "--lang", "en"});
        EXPECT_EQ(run.exitCode, result) << name << "\n" << run.out << run.err;
        // Errors go to standard error, the rest to standard output and, off a terminal, where
        // a reader that leaves early cannot take them along, to standard error as well.
        EXPECT_EQ(Has(run.out, says), result < 4 || result == 6 || result == 7) << name;
        EXPECT_TRUE(Has(run.err, says)) << name << "\n" << run.err;
    };
    for (const ResultRow& row : rows) {
        const std::wstring text = row.Text();
        expect(row.name, row.data, row.result, std::string(text.begin(), text.end()));
    }
    for (const auto& [name, says] : refused) expect(name, name, 4, says);
    const std::string plain = Update({"--device", served.PathOf("no-handheld"), "--data",
                                      dir + "/standard.dat", "--lang", "en"})
                                  .err;
    EXPECT_TRUE(Has(plain, "does not carry the handheld's identification")) << plain;
    const ProgramRun absent = Update(
        {"--device", dir + "/no-such-volume", "--data", dir + "/standard.dat", "--lang", "en"});
    EXPECT_EQ(absent.exitCode, kExitGone);
    EXPECT_TRUE(Has(absent.err, dir + "/no-such-volume is not there (any more).\nPlug the"))
        << absent.err;
    EXPECT_TRUE(Has(Update({"--device", served.PathOf("data-file-missing"), "--data",
                            dir + "/absent.dat", "--lang", "en"})
                        .err,
                    "Data file " + dir + "/absent.dat: No such file or directory"));

    EXPECT_TRUE(served.WaitUntilAllClosed()) << served.Report();
    ASSERT_EQ(served.Stop(), 0);
    for (const ResultRow& row : rows) {
        // Unlike the Windows program, the command line reads its data file before it touches
        // a drive, so a missing one sends no closing block.
        const bool closing = row.closingBlock && row.data != "absent";
        const std::string line = ReportOf(served, row.name);
        EXPECT_TRUE(Has(line, std::string("closing-block=") + (closing ? "yes" : "no"))) << line;
        EXPECT_TRUE(Has(line, "protocol-errors=0")) << line;
        if (row.memory == "partly") continue;  // as the fault left it
        EXPECT_EQ(CheckMemory(ReadWhole(dir + "/" + row.name + ".memory"), row.memory == "updated",
                              closing, FixtureHandhelds(row.handheld)->front()),
                  std::vector<std::string>{})
            << row.name;
    }
}

TEST_F(UpdaterRunTest, CheckWritesNothingNotEvenTheClosingBlock) {
    ServedEmulator served(Concat(
        {Handheld("fresh"), Handheld("current", {"--version", "0x260"}), Handheld("missing")}));
    ASSERT_TRUE(served.Running());
    const std::string dir = served.Directory();
    WriteData(dir + "/fixture.dat", FixtureDataFile());
    DataFileDescription missing = FixtureDataFile();
    missing.groups[1].characters[1].requiredList = std::vector<uint32_t>{0x10, 0x14};
    WriteData(dir + "/missing.dat", missing);

    const ProgramRun ready = Update({"--check", "--device", served.PathOf("fresh"), "--data",
                                     dir + "/fixture.dat", "--lang", "en"});
    EXPECT_EQ(ready.exitCode, 0) << ready.out << ready.err;
    for (const char* line :
         {"Version on the handheld: 0x0240, version of this update: 0x0260",
          "Character: group 1, number 1", "00000010: 5000 bytes to blocks 3 to 4",
          "00000011: 4096 bytes to blocks 100 to 100", "00000012: 100 bytes to blocks 508 to 508",
          "blocks 3 to 511 back to the handheld (509 blocks)",
          "wrote 6\ncommands into the handheld's command sector (sector 49)",
          "The handheld can be updated."}) {
        EXPECT_TRUE(Has(ready.out, line)) << line << "\n" << ready.out;
    }
    EXPECT_FALSE(Has(ready.out, Said(MsgDoNotRemove)));
    EXPECT_FALSE(Has(ready.out, "%"));

    const ProgramRun current = Update({"--check", "--device", served.PathOf("current"), "--data",
                                       dir + "/fixture.dat", "--lang", "de"});
    EXPECT_EQ(current.exitCode, 7);
    EXPECT_TRUE(
        Has(current.out, "mit Ergebnis 7 enden:\n" + Said(MsgAlreadyUpdated, kLanguageGerman)))
        << current.out;

    const ProgramRun lacking = Update({"--check", "--device", served.PathOf("missing"), "--data",
                                       dir + "/missing.dat", "--lang", "en"});
    EXPECT_EQ(lacking.exitCode, 9);
    EXPECT_TRUE(Has(lacking.out, "00000014: not in this update")) << lacking.out;
    const std::string reported = Said(MsgDataMissing);
    EXPECT_TRUE(Has(lacking.out, reported.substr(0, reported.find('%')) + "00000014"))
        << lacking.out;

    EXPECT_TRUE(served.WaitUntilAllClosed());
    ASSERT_EQ(served.Stop(), 0);
    EXPECT_TRUE(Has(Update({"--check", "--device", dir + "/fixture.dat", "--data",
                            dir + "/fixture.dat", "--lang", "en"})
                        .out,
                    "Check only: nothing was sent to the handheld."));
    for (const char* name : {"fresh", "current", "missing"}) {
        const std::string line = ReportOf(served, name);
        EXPECT_TRUE(Has(line, " commands=6 windows-read=2 windows-written=0 ")) << line;
        EXPECT_TRUE(Has(line, "closing-block=no")) << line;
        HandheldOptions start = FixtureHandheld();
        if (std::string(name) == "current") start.versionWord = 0x260;
        EXPECT_EQ(CheckMemory(ReadWhole(dir + "/" + name + ".memory"), false, false, start),
                  std::vector<std::string>{})
            << name;
    }
}

TEST_F(UpdaterRunTest, ProgressIsABarOnATerminalAndPlainLinesOtherwise) {
    ServedEmulator served(Concat({Handheld("piped"), Handheld("terminal")}));
    ASSERT_TRUE(served.Running());
    const std::string data = served.Directory() + "/fixture.dat";
    WriteData(data, FixtureDataFile());

    const ProgramRun piped =
        Update({"--device", served.PathOf("piped"), "--data", data, "--lang", "en"});
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.out, Said(MsgDoNotRemove) +
                             "\n 10%\n 20%\n 30%\n 40%\n 50%\n 60%\n 70%\n 80%\n 90%\n100%\n" +
                             Said(MsgUpdated) + "\n");

    RunSettings terminal;
    terminal.terminal = true;
    const ProgramRun shown =
        Update({"--device", served.PathOf("terminal"), "--data", data, "--lang", "en"}, terminal);
    EXPECT_EQ(shown.exitCode, 0);
    // The terminal turns each line end into CR LF.
    EXPECT_TRUE(Has(shown.out, "during the update.\r\n\r[--")) << shown.out;
    EXPECT_TRUE(Has(shown.out, "\r[####################--------------------]  50%\r["))
        << shown.out;
    const std::string updated = Said(MsgUpdated);
    EXPECT_TRUE(Has(shown.out, "] 100%\r\n" + updated.substr(0, updated.find('\n')))) << shown.out;
    EXPECT_FALSE(Has(shown.out, " 10%\r\n"));
    ASSERT_EQ(served.Stop(), 0);
    EXPECT_EQ(MemoryProblems(served, "terminal", true, true), std::vector<std::string>{});
}

TEST_F(UpdaterRunTest, RemovableDrivesAreSearchedWholeAndByPartitionAndTwoAreRefused) {
    ServedEmulator served(
        Concat({Handheld("sdb"), Handheld("sdb1"), Handheld("sdc"), Handheld("sdd1"),
                Handheld("sdd", {"--label", "NO NAME"}), Handheld("sda")}));
    ASSERT_TRUE(served.Running());
    const std::string dir = served.Directory();
    const std::string data = dir + "/fixture.dat";
    WriteData(data, FixtureDataFile());
    auto write = [&](const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(dir + "/sys/" + path).parent_path());
        std::ofstream(dir + "/sys/" + path) << text;
    };
    write("block/sda/removable", "0\n");  // the system disk: never looked at
    write("block/sdb/removable", "1\n");
    write("block/sdb/sdb1/partition", "1\n");
    write("block/sdd/removable", "1\n");
    write("block/sdd/sdd1/partition", "1\n");
    UpdaterOptions system;
    system.sysfsRoot = dir + "/sys";
    system.devRoot = dir + "/mnt";
    system.dataFile = data;

    // sdb and its partition both identify: one handheld, and its whole disk is updated.
    // sdd carries the handheld on its partition: a second one.
    ProgramRun two = RunInProcess(system);
    EXPECT_EQ(two.exitCode, 3) << two.out << two.err;
    EXPECT_TRUE(Has(two.out, Said(MsgManyDevices)));
    EXPECT_TRUE(Has(two.err, "Handhelds found: " + dir + "/mnt/sdb, " + dir +
                                 "/mnt/sdd1\n"
                                 "Unplug all but one, or name one with --device."))
        << two.err;

    write("block/sdd/removable", "0\n");  // unplugged, as far as the search can tell
    const ProgramRun one = RunInProcess(system);
    EXPECT_EQ(one.exitCode, 0) << one.out << one.err;

    write("block/sdb/removable", "0\n");
    const ProgramRun none = RunInProcess(system);
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(Has(none.err, "No removable drive is attached.")) << none.err;

    EXPECT_TRUE(served.WaitUntilAllClosed());
    ASSERT_EQ(served.Stop(), 0);
    EXPECT_EQ(MemoryProblems(served, "sdb", true, true), std::vector<std::string>{});
    for (const char* name : {"sdb1", "sdd1", "sda"}) {
        EXPECT_TRUE(Has(ReportOf(served, name), "windows-written=0 ")) << name;
        EXPECT_TRUE(Has(ReportOf(served, name), "closing-block=no")) << name;
    }
    EXPECT_TRUE(Has(ReportOf(served, "sda"), "opens=0 ")) << served.Report();
}

// The kernel's own refusal: a volume the user may not write, or not even read. Root may write
// anything, so as root the program runs as nobody.
TEST_F(UpdaterRunTest, NoPermissionForTheDriveSaysWhatToDo) {
    char pattern[] = "/tmp/updater-perm-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    chmod(dir.c_str(), 0755);
    // The program and its data beside it, where nobody can reach them.
    fs::copy_file(ZUMBIKO_UPDATE_PATH, dir + "/zumbiko-update");
    chmod((dir + "/zumbiko-update").c_str(), 0755);
    WriteData(dir + "/Zumbiko Update.dat", FixtureDataFile());
    chmod((dir + "/Zumbiko Update.dat").c_str(), 0644);
    // sdb may be read, and found a handheld, but not written; sdc may not even be read.
    std::string handheld(size_t{4096} * 512, '\0');
    handheld.replace(43, 11, std::string("SITRONIXTM\0", 11));
    for (const char* name : {"sdb", "sdc"}) std::ofstream(dir + "/" + name) << handheld;
    chmod((dir + "/sdb").c_str(), getuid() == 0 ? 0644 : 0444);
    chmod((dir + "/sdc").c_str(), 0);
    fs::create_directories(dir + "/sys/block/sdc");
    std::ofstream(dir + "/sys/block/sdc/removable") << "1\n";

    RunSettings settings;
    if (getuid() == 0) {
        settings.user = kNobody;
        settings.group = kNobody;
    }
    auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), dir + "/zumbiko-update");
        return RunProgram(arguments, settings);
    };
    const ProgramRun named = run({"--device", dir + "/sdb", "--lang", "en"});
    EXPECT_EQ(named.exitCode, 13) << named.out << named.err;
    EXPECT_TRUE(Has(named.err, "No permission to read and write " + dir + "/sdb.")) << named.err;
    EXPECT_TRUE(Has(named.err, "unplug it, plug it\nin again")) << named.err;
    EXPECT_TRUE(Has(named.err, "Otherwise run it with sudo.")) << named.err;

    UpdaterOptions scan;
    scan.sysfsRoot = dir + "/sys";
    scan.devRoot = dir;
    scan.dataFile = dir + "/Zumbiko Update.dat";
    scan.german = true;
    const ProgramRun scanned = RunInProcess(scan, settings.user);
    EXPECT_EQ(scanned.exitCode, 13) << scanned.out << scanned.err;
    EXPECT_TRUE(Has(scanned.err, "Keine Berechtigung zum Lesen und Schreiben von " + dir + "/sdc."))
        << scanned.err;
    EXPECT_TRUE(scanned.out.empty());

    std::error_code error;
    fs::remove_all(dir, error);
}

// Once the run has opened the handheld, its device path may come to name another drive, as
// a symlink or a /dev/sdX reused after a re-plug can: here while the warning not to unplug is
// printed. The run goes on with the handheld it opened, and not a sector reaches the other
// drive, whether the run updates or only sends the closing block for a character it lacks.
TEST_F(UpdaterRunTest, ADevicePathThatNamesAnotherDriveByNowChangesNothing) {
    ServedEmulator served(Concat({Handheld("updated"), Handheld("closed")}));
    ASSERT_TRUE(served.Running());
    const std::string dir = served.Directory();
    WriteData(dir + "/fixture.dat", FixtureDataFile());
    DataFileDescription lacking = FixtureDataFile();
    lacking.groups[1].characters.clear();
    WriteData(dir + "/lacking.dat", lacking);
    std::string stick(size_t{4096} * 512, '\xF6');
    stick.replace(43, 11, "NO NAME    ");
    std::ofstream(dir + "/stick", std::ios::binary) << stick;
    const std::string link = dir + "/device";

    // The console's output, which swaps the drive when the warning goes out.
    cookie_io_functions_t swapOnWarning{};
    swapOnWarning.write = [](void* path, const char* text, size_t size) -> ssize_t {
        if (std::string(text, size).find(Said(MsgDoNotRemove)) != std::string::npos) {
            fs::remove(static_cast<const char*>(path));
            fs::create_symlink("stick", static_cast<const char*>(path));
        }
        return static_cast<ssize_t>(size);
    };
    std::FILE* out = fopencookie(const_cast<char*>(link.c_str()), "w", swapOnWarning);
    ASSERT_NE(out, nullptr);
    for (const char* name : {"updated", "closed"}) {
        fs::remove(link);
        fs::create_symlink(served.PathOf(name), link);
        UpdaterOptions options;
        options.device = link;
        options.dataFile = dir + (name == std::string("updated") ? "/fixture.dat" : "/lacking.dat");
        EXPECT_EQ(RunUpdater(options, out, out, false), name == std::string("updated") ? 0 : 8);
    }
    std::fclose(out);
    EXPECT_TRUE(ReadWhole(dir + "/stick") == std::vector<uint8_t>(stick.begin(), stick.end()))
        << "the stick was written to";
    EXPECT_TRUE(served.WaitUntilAllClosed());
    ASSERT_EQ(served.Stop(), 0);
    EXPECT_EQ(MemoryProblems(served, "updated", true, true), std::vector<std::string>{});
    EXPECT_EQ(MemoryProblems(served, "closed", false, true), std::vector<std::string>{});
}

// Re-pointed between the scan and the open, the path names a drive that was never looked at:
// refused, and said so, rather than read and failed on later.
TEST(HandheldOpen, ADriveOtherThanTheOneFoundIsRefused) {
    char pattern[] = "/tmp/updater-changed-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::string handheld(size_t{4096} * 512, '\0');
    handheld.replace(43, 11, std::string("SITRONIXTM\0", 11));
    for (const char* name : {"toy", "other"}) std::ofstream(dir + "/" + name) << handheld;
    fs::create_symlink("toy", dir + "/device");
    const ScanOutcome scan = ScanVolumes({{dir + "/device", "", {}}});
    ASSERT_EQ(scan.handhelds.size(), 1u);
    fs::remove(dir + "/device");
    fs::create_symlink("other", dir + "/device");
    ExclusiveVolume volume;
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(OpenFoundHandheld(UpdaterOptions{}, scan.handhelds[0], volume, err), kExitGone);
    const std::string said = TextOf(err);
    EXPECT_TRUE(Has(said, dir + "/device is no longer the drive that was found")) << said;
    fs::remove_all(dir);
}

}  // namespace
