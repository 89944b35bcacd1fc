#include "ServerProcess.h"

#include <signal.h>
#include <sys/wait.h>

#include <thread>

namespace velto::test {
namespace {

constexpr std::chrono::milliseconds kLook{20};

}  // namespace

bool WaitUntilServing(pid_t& pid, const std::function<bool()>& serving) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        if (serving()) {
            return true;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return false;
        }
        std::this_thread::sleep_for(kLook);
    }
    return false;
}

void EndProcessGroup(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (waitpid(pid, nullptr, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() >= end) {
            kill(-pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(kLook);
    }
    kill(-pid, SIGKILL);  // children that outlived it
    pid = -1;
}

bool WaitForText(const std::function<std::string()>& log, const std::string& text,
                 std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (log().find(text) != std::string::npos) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(kLook);
    }
}

}  // namespace velto::test
