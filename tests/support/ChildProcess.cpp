#include "support/ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace velto::test {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::vector<std::string>& env) {
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("ChildProcess: no pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (const auto& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    for (const auto& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    // A sanitizer build's children need the same options (suppressions among them) as the
    // test, whatever sandboxed environment the test gives them, unless the test sets them: a
    // name given twice is read as the first by some programs and as the last by others.
    const auto given = [&](const std::string& name) {
        for (const auto& e : env) {
            if (e.compare(0, name.size() + 1, name + "=") == 0) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::string> sanitizer;
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name); value != nullptr && !given(name)) {
            sanitizer.push_back(std::string(name) + "=" + value);
        }
    }
    for (const auto& e : sanitizer) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = fds[0];
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("ChildProcess: cannot start " + arguments.front());
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        Wait();
    }
    ::close(out_);
}

bool ChildProcess::ReadUntil(const std::string& fragment) {
    while (text_.find(fragment) == std::string::npos) {
        char buffer[4096];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        text_.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

int ChildProcess::Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ChildProcess::Signal(int signal) {
    ::kill(pid_, signal);
}

}  // namespace velto::test
