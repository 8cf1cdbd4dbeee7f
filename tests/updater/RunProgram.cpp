#include "RunProgram.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

constexpr int kTimeoutMilliseconds = 60000;

[[noreturn]] void Exec(const std::vector<std::string>& arguments, const RunSettings& settings) {
    for (const std::string& variable : settings.environment) {
        const size_t equals = variable.find('=');
        if (equals == std::string::npos) {
            unsetenv(variable.c_str());
        } else {
            setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
        }
    }
    if (settings.user != 0 &&
        (setgroups(0, nullptr) != 0 || setgid(settings.group) != 0 || setuid(settings.user) != 0)) {
        _exit(126);
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

// Reads every descriptor to its end (EIO on a terminal whose other side closed).
void Drain(std::vector<std::pair<int, std::string*>> sources, pid_t child) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMilliseconds);
    while (!sources.empty()) {
        std::vector<pollfd> fds;
        fds.reserve(sources.size());
        for (const auto& source : sources) fds.push_back({source.first, POLLIN, 0});
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 ||
            poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0) {
            kill(child, SIGKILL);
            return;
        }
        for (size_t i = fds.size(); i-- > 0;) {
            if (fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sources[i].second->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                sources.erase(sources.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}

int Wait(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments, const RunSettings& settings) {
    ProgramRun run;
    if (settings.terminal) {
        int master = -1;
        const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
        if (child < 0) return run;
        if (child == 0) Exec(arguments, settings);
        Drain({{master, &run.out}}, child);
        close(master);
        run.exitCode = Wait(child);
        return run;
    }
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) return run;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        Exec(arguments, settings);
    }
    close(out[1]);
    close(err[1]);
    if (child > 0) {
        Drain({{out[0], &run.out}, {err[0], &run.err}}, child);
        run.exitCode = Wait(child);
    }
    close(out[0]);
    close(err[0]);
    return run;
}
