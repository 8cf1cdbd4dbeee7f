#include "UpdaterCommandLine.h"

#include <string>

#include "tools/CommandLine.h"

namespace {

const char kDescription[] =
    "zumbiko-update brings a Zumbiko handheld up to date with the character data in\n"
    "\"Zumbiko Update.dat\". Plug in the handheld with its USB cable, do not open it in\n"
    "the file manager, and run zumbiko-update. It looks among the removable drives for\n"
    "the handheld, copies what its character needs, writes it back and tells the result.\n";

const char kFooter[] =
    "Before you start:\n"
    "  Installed from its package, zumbiko-update needs no sudo: the package's udev rule lets\n"
    "  the user logged in at the computer's own screen use a handheld plugged in after the\n"
    "  installation, and keeps the desktop from mounting it. A zumbiko-update not installed\n"
    "  from the package needs sudo, and a handheld someone mounted must be unmounted first,\n"
    "  without unplugging it: udisksctl unmount -b /dev/sdX1 (lsblk shows the name).\n"
    "\n"
    "While it runs:\n"
    "  It holds the drive for itself (O_EXCL and an exclusive flock): no other program or run\n"
    "  can mount or open it for itself until the update has ended. A drive a loop device reads\n"
    "  from, a write-protected drive, and a path that names another drive than the one just\n"
    "  found are refused before anything is sent. Ctrl-C, Ctrl-\\, SIGTERM and SIGHUP wait\n"
    "  until the handheld is written and closed; then the result is told and zumbiko-update\n"
    "  ends by the signal. Off a terminal the result also goes to standard error, so a reader\n"
    "  that leaves early (zumbiko-update | head) cannot take it along.\n"
    "\n"
    "Examples:\n"
    "  zumbiko-update                      find the handheld and update it\n"
    "  zumbiko-update --check              tell what an update would do, sending only the\n"
    "                                      commands that read the handheld\n"
    "  zumbiko-update --device /dev/sdb --data ~/Downloads/Zumbiko\\ Update.dat\n"
    "\n"
    "Exit status:\n"
    "  0      updated (or, with --check, an update would succeed)\n"
    "  2      no handheld found\n"
    "  3      more than one handheld\n"
    "  4      data file missing or unusable (no drive is touched): not a regular file, larger\n"
    "         than 4 GiB and 2 MiB, or a data version not above 0x200 or above 0x299\n"
    "  5      reading the handheld failed, its sectors are not 512 bytes, or it is\n"
    "         write-protected\n"
    "  6      a 1.0 handheld\n"
    "  7      already up to date\n"
    "  8      character not in this update\n"
    "  9      data missing from this update\n"
    "  10     data does not fit\n"
    "  11     writing the handheld failed\n"
    "  12     the handheld is mounted\n"
    "  13     no permission for the drive\n"
    "  14     the drive is in use by another program or run, mounted elsewhere, or read by\n"
    "         a loop device\n"
    "  15     the drive is not there (any more), or is no longer the drive found\n"
    "  64     wrong arguments\n"
    "  128+N  signal N came during the update: 130 Ctrl-C, 131 Ctrl-\\, 143 SIGTERM, 129 SIGHUP";

bool StartsWithDe(const char* value) {
    return value[0] == 'd' && value[1] == 'e';
}

}  // namespace

bool LocaleIsGerman(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && value[0] != '\0') return StartsWithDe(value);
    }
    return false;
}

std::optional<int> ParseUpdaterCommandLine(int argc, const char* const* argv,
                                           UpdaterOptions* options, std::ostream& out,
                                           std::ostream& err) {
    CLI::App app(kDescription, "zumbiko-update");
    app.footer(kFooter);
    app.get_formatter()->column_width(24);
    std::string language;
    app.add_option("--device", options->device,
                   "The handheld's drive (/dev/sdb, /dev/sdb1) or volume\n"
                   "file; without it, the removable drives are searched")
        ->option_text("PATH");
    app.add_option("--data", options->dataFile,
                   "The update data file (default: \"Zumbiko Update.dat\"\n"
                   "beside the program, else the package's, in\n"
                   "/usr/share/zumbiko-update); a regular file, not a link")
        ->option_text("FILE");
    app.add_option("--lang", language,
                   "Language of the messages, English or German\n"
                   "(default: from LC_ALL, LC_MESSAGES or LANG)")
        ->check(CLI::IsMember({"en", "de"}))
        ->option_text("en|de");
    app.add_flag("--check", options->check,
                 "Read the handheld and the data file and tell what an\n"
                 "update would do. To read, it writes read commands\n"
                 "into the handheld's command sector (sector 49), and\n"
                 "nothing else: its memory stays as it was.");

    if (const auto stop = ParseCommandLine(app, argc, argv, out, err, kExitUsage)) return stop;
    if (!language.empty()) options->german = language == "de";
    return std::nullopt;
}
