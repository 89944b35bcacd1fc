#include "Kamailio.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "ServerCertificate.h"
#include "ServerProcess.h"

namespace velto::test {
namespace {

constexpr const char* kKamailio = "/usr/sbin/kamailio";
constexpr const char* kTlsModule = "/usr/lib/x86_64-linux-gnu/kamailio/modules/tls.so";

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Replace(std::string& text, const std::string& name, const std::string& value) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
        text.replace(at, name.size(), value);
        at += value.size();
    }
}

bool Accepts(const std::string& address, uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    close(fd);
    return connected;
}

}  // namespace

Kamailio::Kamailio(std::filesystem::path folder, std::string address,
                   std::map<std::string, std::string> passwords)
    : folder_(std::move(folder)), address_(std::move(address)), passwords_(std::move(passwords)) {
    std::filesystem::create_directories(folder_);
}

Kamailio::~Kamailio() {
    Stop();
}

bool Kamailio::Available() {
    return access(kKamailio, X_OK) == 0 && access(kTlsModule, R_OK) == 0 &&
           access("/usr/bin/openssl", X_OK) == 0;
}

void Kamailio::WriteConfig() {
    std::string config = ReadAll(VELTO_SOURCE_DIR "/tests/sip_e2e/kamailio.cfg");
    std::string passwords;
    for (const auto& [user, password] : passwords_) {
        passwords += "        if ($au == \"" + user + "\") {\n            $var(pw) = \"" +
                     password + "\";\n        }\n";
    }
    Replace(config, "@ADDRESS@", address_);
    Replace(config, "@FOLDER@", folder_.string());
    Replace(config, "@REALM@", kRealm);
    Replace(config, "@PASSWORDS@", passwords);
    std::ofstream(folder_ / "kamailio.cfg") << config;
    std::ofstream(folder_ / "tls.cfg")
        << "[server:default]\nmethod = TLSv1.2+\nverify_certificate = no\n"
        << "require_certificate = no\nprivate_key = " << (folder_ / "key.pem").string()
        << "\ncertificate = " << (folder_ / "cert.pem").string() << "\n\n"
        << "[client:default]\nmethod = TLSv1.2+\nverify_certificate = no\n"
        << "require_certificate = no\n";
}

bool Kamailio::Start() {
    Stop();
    if (!MakeServerCertificate(folder_, address_)) {
        return false;
    }
    WriteConfig();
    const std::vector<std::string> args = {kKamailio,
                                           "-f",
                                           (folder_ / "kamailio.cfg").string(),
                                           "-DD",
                                           "-E",
                                           "-m",
                                           "32",
                                           "-M",
                                           "4",
                                           "-Y",
                                           folder_.string(),
                                           "-P",
                                           (folder_ / "kamailio.pid").string(),
                                           "-w",
                                           folder_.string()};
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        const int log = open((folder_ / "log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(log, 1);
        dup2(log, 2);
        const int none = open("/dev/null", O_RDONLY);
        dup2(none, 0);
        std::vector<char*> argv;
        for (const auto& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(kKamailio, argv.data());
        _exit(127);
    }
    setpgid(pid_, pid_);
    return WaitUntilServing(pid_,
                            [&] { return Accepts(address_, 5061) && Accepts(address_, 5060); });
}

void Kamailio::Stop() {
    // Its main process ends its children; the whole group goes if it does not within 2 s.
    EndProcessGroup(pid_);
}

std::string Kamailio::Log() const {
    return ReadAll(folder_ / "log");
}

bool Kamailio::WaitForLog(const std::string& text, std::chrono::milliseconds limit,
                          size_t from) const {
    return WaitForText(
        [&] {
            const std::string log = Log();
            return log.size() > from ? log.substr(from) : std::string();
        },
        text, limit);
}

}  // namespace velto::test
