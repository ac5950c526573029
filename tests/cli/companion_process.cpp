#include "companion_process.h"

#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

void appendAvailable(int fd, std::string& text, bool& open) {
    char block[4096];
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n > 0) {
        text.append(block, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        open = false;
    }
}

} // namespace

CompanionRun runCompanion(const std::vector<std::string>& arguments, bool terminalErrors,
                          const std::vector<std::string>& environment, const std::function<bool()>& interruptWhen) {
    CompanionRun run;
    int outPipe[2];
    int errPipe[2] = {-1, -1};
    if (::pipe(outPipe) != 0 || (!terminalErrors && ::pipe(errPipe) != 0)) {
        return run;
    }
    sim::PseudoTerminal terminal;
    std::string error;
    if (terminalErrors && !terminal.open(&error)) {
        return run;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    if (terminalErrors) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, terminal.slavePath().c_str(), O_RDWR | O_NOCTTY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    }
    std::vector<std::string> argv0{TALLIVOS_CLI_PROGRAM};
    argv0.insert(argv0.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argv0) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables(environment);
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string name = std::string(*variable).substr(0, std::string(*variable).find('=') + 1);
        bool replaced = false;
        for (const std::string& given : environment) {
            replaced = replaced || given.rfind(name, 0) == 0;
        }
        if (!replaced) {
            variables.emplace_back(*variable);
        }
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, TALLIVOS_CLI_PROGRAM, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    if (errPipe[1] >= 0) {
        ::close(errPipe[1]);
    }
    if (spawned != 0) {
        ::close(outPipe[0]);
        return run;
    }

    const int errFd = terminalErrors ? terminal.master() : errPipe[0];
    bool outOpen = true;
    bool errOpen = true;
    bool exited = false;
    bool interrupted = false;
    int waitStatus = 0;
    const auto deadline = std::chrono::steady_clock::now() + kCompanionHangGuard;
    while ((outOpen || errOpen) && std::chrono::steady_clock::now() < deadline) {
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errFd, POLLIN, 0}};
        ::poll(fds, 2, 50);
        if (interruptWhen && !interrupted && !exited && interruptWhen()) {
            interrupted = true;
            ::kill(pid, SIGINT);
        }
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) {
            appendAvailable(outPipe[0], run.out, outOpen);
        }
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            appendAvailable(errFd, run.err, errOpen);
        }
        // The terminal stays open on our side: the companion's exit ends the wait.
        if (!exited && ::waitpid(pid, &waitStatus, WNOHANG) == pid) {
            exited = true;
            if (terminalErrors) {
                // Everything the companion wrote is in the terminal by now.
                while (errOpen) {
                    const std::size_t before = run.err.size();
                    appendAvailable(errFd, run.err, errOpen);
                    if (run.err.size() == before) {
                        break;
                    }
                }
                errOpen = false;
            }
        }
    }
    if (!exited) {
        if (outOpen || errOpen) {
            ::kill(pid, SIGKILL); // the guard ran out
        }
        const bool killed = outOpen || errOpen;
        ::waitpid(pid, &waitStatus, 0);
        if (killed) {
            waitStatus = -1;
        }
    }
    ::close(outPipe[0]);
    if (errPipe[0] >= 0) {
        ::close(errPipe[0]);
    }
    run.status = waitStatus >= 0 && WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    return run;
}
