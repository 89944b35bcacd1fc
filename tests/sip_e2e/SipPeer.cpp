#include "SipPeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "ServerProcess.h"

namespace velto::test {
namespace {

constexpr const char* kBaresip = "/usr/bin/baresip";

}  // namespace

SipPeer::SipPeer(std::filesystem::path folder, std::string address, std::filesystem::path voice)
    : folder_(std::move(folder)), address_(std::move(address)), voice_(std::move(voice)) {
    std::filesystem::create_directories(folder_ / "dump");
    source_ = "aufile," + voice_.string();
    WriteConfig();
    WriteAccount();
}

void SipPeer::WriteAccount() {
    if (registrar_.empty()) {
        std::ofstream(folder_ / "accounts")
            << "<sip:alice@" << address_ << ">;regint=0" << accountParameters_ << "\n";
    }
}

void SipPeer::UseMediaEncryption(const std::string& mediaenc) {
    extraModules_ += "module srtp.so\nmodule dtls_srtp.so\n";
    accountParameters_ += ";mediaenc=" + mediaenc;
    WriteConfig();
    WriteAccount();
}

void SipPeer::UseIce() {
    extraModules_ += "module ice.so\nmodule turn.so\nmodule stun.so\n";
    accountParameters_ += ";medianat=ice";
    WriteConfig();
    WriteAccount();
}

void SipPeer::WriteConfig() {
    std::ofstream(folder_ / "config")
        << "poll_method epoll\n"
        << "sip_listen " << address_ << ":5060\n"
        << "audio_player aubridge,nothing\naudio_alert aubridge,nothing\n"
        << "audio_source " << source_ << "\n"
        << (source_.rfind("ausine", 0) == 0 ? "ausrc_srate 48000\nausrc_channels 2\n" : "")
        << "module_path /usr/lib/baresip/modules\n"
        << "module stdio.so\nmodule " << codecModule_ << "\nmodule aufile.so\n"
        << "module ausine.so\nmodule aubridge.so\nmodule sndfile.so\n"
        << extraModules_ << "module_app account.so\nmodule_app menu.so\nmodule_app presence.so\n"
        << "snd_path " << (folder_ / "dump").string() << "\n";
}

void SipPeer::UseCodec(const std::string& module, const std::string& codec, int hz) {
    codecModule_ = module;
    source_ = "ausine," + std::to_string(hz);
    accountParameters_ += ";audio_codecs=" + codec;
    WriteConfig();
    WriteAccount();
}

SipPeer::~SipPeer() {
    Stop();
}

void SipPeer::Stop() {
    if (pid_ > 0) {
        // The whole group: killing `timeout` alone leaves baresip holding its port for good.
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (input_ >= 0) {
        close(input_);
        input_ = -1;
    }
}

void SipPeer::RegisterAt(const std::string& registrar, const std::string& password) {
    registrar_ = registrar;
    std::ofstream(folder_ / "accounts") << "<sip:alice@" << registrar << ">;auth_pass=" << password
                                        << ";regint=600" << accountParameters_ << "\n";
}

bool SipPeer::Available() {
    return access(kBaresip, X_OK) == 0;
}

void SipPeer::Call(const std::string& target, int seconds) {
    Start("/dial " + target, seconds);
}

void SipPeer::Idle(int seconds) {
    Start("", seconds);
}

void SipPeer::Start(const std::string& dial, int seconds) {
    Stop();
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "dump")) {
        std::filesystem::remove(entry.path());
    }
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return;
    }
    // Its presence module keeps it from ending on -t: `timeout` ends it a second later.
    std::vector<std::string> args;
    if (!network_.empty()) {
        args = {"nsenter", "--net=" + network_};
    }
    args.insert(args.end(), {"timeout", "-s", "KILL", std::to_string(seconds + 2), kBaresip, "-4",
                             "-f", folder_.string(), "-e", "/presence_online"});
    if (!dial.empty()) {
        args.push_back("-e");
        args.push_back(dial);
    }
    args.push_back("-t");
    args.push_back(std::to_string(seconds));
    started_ = std::chrono::steady_clock::now();
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        dup2(pipeFds[0], 0);
        const int log = open((folder_ / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(log, 1);
        dup2(log, 2);
        close(pipeFds[1]);
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    setpgid(pid_, pid_);  // whichever of the two runs first
    close(pipeFds[0]);
    input_ = pipeFds[1];
}

void SipPeer::Send(const std::string& command) {
    const std::string line = command + "\n";
    if (input_ >= 0) {
        (void)!write(input_, line.data(), line.size());
    }
}

bool SipPeer::Wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) {
        return true;
    }
    // The process's end is readable on its pidfd.
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (fd >= 0) {
        pollfd ended{fd, POLLIN, 0};
        poll(&ended, 1, static_cast<int>(limit.count()));
        close(fd);
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
    }
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return false;
}

std::optional<Pcm> SipPeer::Heard() const {
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "dump")) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 8 && name.compare(name.size() - 8, 8, "-dec.wav") == 0) {
            return ReadPcm(entry.path());
        }
    }
    return std::nullopt;
}

bool SipPeer::WaitForLog(const std::string& text, std::chrono::milliseconds limit) const {
    return WaitForText([this] { return Log(); }, text, limit);
}

std::string SipPeer::Log() const {
    std::ifstream in(folder_ / "log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string PeerAddress(int last) {
    const auto pid = static_cast<unsigned>(getpid());
    return "127." + std::to_string(1 + (pid >> 8) % 254) + "." + std::to_string(pid % 256) + "." +
           std::to_string(last);
}

// Below the system's range for outgoing connections (32768 and up), so that no client
// socket of a parallel test (Kamailio's, baresip's) takes it between this choice and the
// program's bind; free for both UDP and TCP, as the program listens on both.
uint16_t FreeUdpPort() {
    static unsigned next = 20000 + static_cast<unsigned>(getpid()) % 10000;
    for (int attempt = 0; attempt < 2000; ++attempt) {
        const auto port = static_cast<uint16_t>(20000 + (next++ % 12000));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        const int udp = socket(AF_INET, SOCK_DGRAM, 0);
        const int tcp = socket(AF_INET, SOCK_STREAM, 0);
        const bool free = bind(udp, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                          bind(tcp, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(udp);
        close(tcp);
        if (free) {
            return port;
        }
    }
    return 0;
}

}  // namespace velto::test
