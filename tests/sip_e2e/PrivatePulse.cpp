#include "PrivatePulse.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace velto::test {

PrivatePulse::PrivatePulse(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_ / "home");
    std::filesystem::create_directories(folder_ / "run");
    std::filesystem::permissions(folder_ / "run", std::filesystem::perms::owner_all);
}

PrivatePulse::~PrivatePulse() {
    // Clients first, the server last.
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        kill(*it, SIGTERM);
        waitpid(*it, nullptr, 0);
    }
}

bool PrivatePulse::Available() {
    return access("/usr/bin/pulseaudio", X_OK) == 0 && access("/usr/bin/pactl", X_OK) == 0;
}

pid_t PrivatePulse::Spawn(std::vector<std::string> args) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", (folder_ / "home").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (folder_ / "run").c_str(), 1);
        setenv("PULSE_SERVER", Server().c_str(), 1);
        const std::string log = (folder_ / "log").string();
        freopen(log.c_str(), "a", stdout);
        freopen(log.c_str(), "a", stderr);
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    children_.push_back(pid);
    return pid;
}

bool PrivatePulse::Start() {
    const std::string socket = (folder_ / "socket").string();
    Spawn({"timeout", "-s", "KILL", "60", "pulseaudio", "-n", "--daemonize=no",
           "--exit-idle-time=-1", "--disable-shm=yes",
           "--load=module-native-protocol-unix socket=" + socket + " auth-anonymous=1",
           "--load=module-null-sink sink_name=spk", "--load=module-null-sink sink_name=micsink",
           // The SIP stack lists no monitor sources as microphones: a remapped one it does.
           "--load=module-remap-source master=micsink.monitor source_name=mic"});
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    const std::string pactl = "PULSE_SERVER=" + Server() + " pactl";
    // Another program's start: asked every 50 ms.
    while (std::chrono::steady_clock::now() < end) {
        if (std::system((pactl + " info >/dev/null 2>&1").c_str()) == 0) {
            return std::system(
                       (pactl + " set-default-source mic && " + pactl + " set-default-sink spk")
                           .c_str()) == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void PrivatePulse::Say(const std::filesystem::path& file) {
    Spawn({"paplay", "--device=micsink", file.string()});
}

void PrivatePulse::RecordSpeaker(const std::filesystem::path& file) {
    Spawn({"parecord", "--device=spk.monitor", "--channels=1", "--rate=16000", "--file-format=wav",
           file.string()});
}

}  // namespace velto::test
