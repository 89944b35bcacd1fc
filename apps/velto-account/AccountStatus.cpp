#include "AccountStatus.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "callapi/Skype.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "sipaccount/RegistrationNote.h"
#include "sipaccount/SipModuleLoader.h"

namespace velto::account {
namespace {

using namespace skype::sip;

// The registration's outcome takes at most the registrar's time-out (10 s) and the start.
constexpr platform::Millis kLimit{20000};

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path(".") : self.parent_path();
}

// A port free for UDP and TCP on `listen`'s address (the system's choice), or 0.
uint16_t FreePort(const ListenAddress& listen) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int family = listen.Ipv6() ? AF_INET6 : AF_INET;
        const int udp = socket(family, SOCK_DGRAM, 0);
        sockaddr_storage storage{};
        socklen_t length = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        if (family == AF_INET6) {
            auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
            address->sin6_family = AF_INET6;
            inet_pton(AF_INET6, listen.address.c_str(), &address->sin6_addr);
        } else {
            auto* address = reinterpret_cast<sockaddr_in*>(&storage);
            address->sin_family = AF_INET;
            inet_pton(AF_INET, listen.address.c_str(), &address->sin_addr);
        }
        bind(udp, reinterpret_cast<sockaddr*>(&storage), length);
        getsockname(udp, reinterpret_cast<sockaddr*>(&storage), &length);
        close(udp);
        const int tcp = socket(family, SOCK_STREAM, 0);
        const bool free = bind(tcp, reinterpret_cast<sockaddr*>(&storage), length) == 0;
        close(tcp);
        if (free) {
            return ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                                            : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
        }
    }
    return 0;
}

// The first trace line that tells the registration's outcome, without "SIP: ".
std::string Outcome(const std::string& trace) {
    for (const char* start :
         {"SIP: registered at ", "SIP: registration at ", "SIP: not available: "}) {
        const size_t at = trace.find(start);
        if (at != std::string::npos) {
            const size_t end = trace.find('\n', at);
            return trace.substr(at + 5, end == std::string::npos ? end : end - at - 5);
        }
    }
    return {};
}

}  // namespace

int AccountStatus(SipSettingsResult settings, const std::filesystem::path& sipData,
                  const std::filesystem::path& temp) {
    if (!settings.settings) {
        std::printf("not usable: %s\n", settings.error.c_str());
        return 1;
    }
    SipSettings& s = *settings.settings;
    if (s.proxy.empty()) {
        std::printf("no registration: no proxy is set (peers call %s directly)\n",
                    s.identity.Handle().c_str());
        return 0;
    }
    if (const auto running = RunningRegistration(sipData)) {
        std::printf("velto (process %d) says: %s\n", static_cast<int>(running->pid),
                    running->line.c_str());
        return running->line.rfind("registered at ", 0) == 0 ? 0 : 1;
    }
    s.listen.port = FreePort(s.listen);
    const std::filesystem::path dataDir = temp / ("velto-account-" + std::to_string(getpid()));
    std::string outcome;
    {
        // The module traces to standard output with its own copy of the trace: its lines
        // go to a file while it runs, and the one that tells the outcome is picked out.
        std::error_code error;
        std::filesystem::create_directories(dataDir, error);
        const std::filesystem::path traceFile = dataDir / "trace.txt";
        std::fflush(stdout);
        const int savedOut = dup(1);
        const int traceFd = open(traceFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (traceFd >= 0) {
            dup2(traceFd, 1);
            close(traceFd);
        }
        auto traced = [&traceFile] {
            std::fflush(stdout);
            std::ifstream in(traceFile);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        platform::RealClock clock;
        platform::MessageLoop loop(clock);
        SipModuleFactory factory(SipModuleFile(ExecutableFolder()), [&] {
            return SipModuleOptions{.clock = clock,
                                    .settings = settings,
                                    .contactsFile = dataDir / "no-contacts.vcf",
                                    .dataDir = dataDir};
        });
        auto skype = factory.CreateSkype(loop);
        skype->Attach(skype::kAttachProtocol, false);
        loop.RunUntil([&] { return !Outcome(traced()).empty(); }, kLimit, platform::Millis(50));
        outcome = Outcome(traced());
        skype.reset();  // unregisters
        if (outcome.empty()) {
            const std::string text = traced();
            outcome = text.empty() ? "no outcome within 20 s" : text.substr(0, text.find('\n'));
        }
        std::fflush(stdout);
        dup2(savedOut, 1);
        close(savedOut);
    }
    std::error_code removeError;
    std::filesystem::remove_all(dataDir, removeError);
    std::printf("%s\n", outcome.c_str());
    return outcome.rfind("registered at ", 0) == 0 ? 0 : 1;
}

}  // namespace velto::account
