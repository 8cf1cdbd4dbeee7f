#include "ServedEmulator.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);
constexpr int kPolls = 500;

bool Exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

}  // namespace

bool ServedEmulator::Available() {
    return access("/dev/fuse", R_OK | W_OK) == 0 && access(HANDHELD_EMU_PATH, X_OK) == 0;
}

ServedEmulator::ServedEmulator(std::vector<std::string> arguments) {
    char pattern[] = "/tmp/handheld-emu-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    directory = pattern;
    mountPoint = directory + "/mnt";
    if (mkdir(mountPoint.c_str(), 0755) != 0) return;

    for (std::string& argument : arguments) {
        const size_t at = argument.find("@DIR@");
        if (at != std::string::npos) argument.replace(at, 5, directory);
    }
    arguments.insert(arguments.begin(),
                     {HANDHELD_EMU_PATH, mountPoint, "--report", directory + "/report"});
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string log = directory + "/log";

    child = fork();
    if (child == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (child < 0) return;

    // Up when the first served file shows; the others come with it.
    std::string first = "handheld";
    for (size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--handheld") {
            first = arguments[i + 1];
            break;
        }
    }
    for (int i = 0; i < kPolls && !running; ++i) {
        running = Exists(PathOf(first));
        if (!running) std::this_thread::sleep_for(kPoll);
    }
}

ServedEmulator::~ServedEmulator() {
    Stop();
    if (Mounted()) umount2(mountPoint.c_str(), MNT_DETACH);  // a crashed server leaves it
    if (!directory.empty()) {
        const std::string command = "rm -rf '" + directory + "'";
        if (std::system(command.c_str()) != 0) {
            // Left for the system's temporary-file clean-up.
        }
    }
}

bool ServedEmulator::Mounted() const {
    std::ifstream mounts("/proc/self/mounts");
    std::string line;
    while (std::getline(mounts, line)) {
        if (line.find(" " + mountPoint + " ") != std::string::npos) return true;
    }
    return false;
}

int ServedEmulator::Stop(int signal) {
    if (child <= 0) return -1;
    kill(child, signal);
    int status = 0;
    for (int i = 0; i < kPolls; ++i) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            child = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(kPoll);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    child = -1;
    return -1;
}

bool ServedEmulator::WaitUntilAllClosed() const {
    for (int i = 0; i < kPolls; ++i) {
        const std::string report = Report();
        if (!report.empty() && report.find("open-handles=") != std::string::npos &&
            report.find("open-handles=0") != std::string::npos) {
            bool allClosed = true;
            for (size_t at = report.find("open-handles="); at != std::string::npos;
                 at = report.find("open-handles=", at + 1)) {
                allClosed = allClosed && report.compare(at, 15, "open-handles=0 ") == 0;
            }
            if (allClosed) return true;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

std::string ServedEmulator::Report() const {
    std::ifstream report(directory + "/report");
    std::stringstream text;
    text << report.rdbuf();
    return text.str();
}
