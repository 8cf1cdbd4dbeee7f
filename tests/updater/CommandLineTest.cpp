// The updater's arguments and its language from the locale.
#include <gtest/gtest.h>

#include <sstream>

#include "UpdaterCommandLine.h"

namespace {

struct Parsed {
    std::optional<int> stop;
    UpdaterOptions options;
    std::string out;
    std::string err;
};

Parsed Parse(std::vector<const char*> arguments, bool germanLocale = false) {
    arguments.insert(arguments.begin(), "zumbiko-update");
    Parsed parsed;
    parsed.options.german = germanLocale;
    std::ostringstream out;
    std::ostringstream err;
    parsed.stop = ParseUpdaterCommandLine(static_cast<int>(arguments.size()), arguments.data(),
                                          &parsed.options, out, err);
    parsed.out = out.str();
    parsed.err = err.str();
    return parsed;
}

TEST(UpdaterLocale, FirstSetVariableOfLcAllLcMessagesLangDecides) {
    EXPECT_TRUE(LocaleIsGerman(nullptr, nullptr, "de_DE.UTF-8"));
    EXPECT_TRUE(LocaleIsGerman(nullptr, "de_AT", "en_US.UTF-8"));
    EXPECT_FALSE(LocaleIsGerman("C", "de_DE", "de_DE"));
    EXPECT_TRUE(LocaleIsGerman("", "", "de_CH"));  // empty counts as unset
    EXPECT_FALSE(LocaleIsGerman(nullptr, nullptr, nullptr));
    EXPECT_FALSE(LocaleIsGerman(nullptr, nullptr, "d"));
    EXPECT_FALSE(LocaleIsGerman("en_DE", nullptr, "de_DE"));
}

TEST(UpdaterCommandLine, TakesEveryOptionAndLetsLangOverrideTheLocale) {
    const Parsed parsed =
        Parse({"--device", "/dev/sdb1", "--data", "/tmp/a b.dat", "--check", "--lang", "en"}, true);
    EXPECT_FALSE(parsed.stop.has_value());
    EXPECT_EQ(parsed.options.device, "/dev/sdb1");
    EXPECT_EQ(parsed.options.dataFile, "/tmp/a b.dat");
    EXPECT_TRUE(parsed.options.check);
    EXPECT_FALSE(parsed.options.german);

    const Parsed defaults = Parse({}, true);
    EXPECT_FALSE(defaults.stop.has_value());
    EXPECT_TRUE(defaults.options.german);
    EXPECT_TRUE(defaults.options.device.empty());
    EXPECT_TRUE(defaults.options.dataFile.empty());
    EXPECT_EQ(defaults.options.sysfsRoot, "/sys");
    EXPECT_TRUE(Parse({"--lang", "de"}).options.german);
}

TEST(UpdaterCommandLine, MistakesStopWithTheUsageCodeAndAHint) {
    for (const std::vector<const char*>& wrong : {std::vector<const char*>{"--lang", "fr"},
                                                  {"--device"},
                                                  {"--bogus"},
                                                  {"stray"},
                                                  {"--lang"},
                                                  // No way round the system's view of itself.
                                                  {"--mounts", "/dev/null"},
                                                  {"--sysfs-root", "/tmp"},
                                                  {"--dev-root", "/tmp"}}) {
        const Parsed parsed = Parse(wrong);
        ASSERT_TRUE(parsed.stop.has_value()) << wrong[0];
        EXPECT_EQ(*parsed.stop, kExitUsage) << wrong[0];
        EXPECT_NE(parsed.err.find("Try zumbiko-update --help."), std::string::npos) << parsed.err;
        EXPECT_TRUE(parsed.out.empty());
    }
}

TEST(UpdaterCommandLine, HelpTellsWhatAUserNeeds) {
    const Parsed parsed = Parse({"--help"});
    ASSERT_TRUE(parsed.stop.has_value());
    EXPECT_EQ(*parsed.stop, 0);
    for (const char* needed :
         {"--device PATH", "--data FILE", "--lang en|de", "--check", "command sector (sector 49)",
          "Zumbiko Update.dat", "udisksctl unmount", "needs no sudo", "not installed",
          "12     the handheld is mounted", "13     no permission", "14     the drive is in use",
          "15     the drive is not there", "128+N  signal N", "130 Ctrl-C"}) {
        EXPECT_NE(parsed.out.find(needed), std::string::npos) << needed;
    }
    std::istringstream lines(parsed.out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 90u) << line;
    }
}

}  // namespace
