#include "Coturn.h"

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

constexpr const char* kTurnServer = "/usr/bin/turnserver";

bool TurnAccepts(const std::string& address, uint16_t port) {
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

Coturn::Coturn(std::filesystem::path folder, std::string address, std::string user,
               std::string password, std::string transport)
    : folder_(std::move(folder)),
      address_(std::move(address)),
      user_(std::move(user)),
      password_(std::move(password)),
      transport_(std::move(transport)) {
    std::filesystem::create_directories(folder_);
}

Coturn::~Coturn() {
    Stop();
}

bool Coturn::Available() {
    return access(kTurnServer, X_OK) == 0;
}

bool Coturn::Start() {
    Stop();
    std::vector<std::string> args = {kTurnServer,
                                     "-n",  // no configuration file
                                     "--listening-ip=" + address_,
                                     "--relay-ip=" + address_,
                                     "--listening-port=" + std::to_string(kPort),
                                     "--min-port=40000",
                                     "--max-port=40999",
                                     "--lt-cred-mech",
                                     "--user=" + user_ + ":" + password_,
                                     "--realm=" + std::string(kRealm),
                                     "--no-dtls",
                                     "--no-cli",
                                     "--verbose",
                                     "--simple-log",
                                     "--log-file=" + (folder_ / "turn.log").string(),
                                     "--pidfile=" + (folder_ / "turn.pid").string(),
                                     "--db=" + (folder_ / "turn.db").string()};
    // Only the transport under test answers: a client that fell back to another would
    // not reach the relay.
    if (transport_ == "tls") {
        if (!MakeServerCertificate(folder_, certifiedName_.empty() ? address_ : certifiedName_)) {
            return false;
        }
        args.insert(args.end(),
                    {"--no-udp", "--no-tcp", "--tls-listening-port=" + std::to_string(kTlsPort),
                     "--cert=" + (folder_ / "cert.pem").string(),
                     "--pkey=" + (folder_ / "key.pem").string()});
    } else {
        args.push_back("--no-tls");
        if (transport_ == "tcp") {
            args.push_back("--no-udp");
        }
    }
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        const int log = open((folder_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(log, 1);
        dup2(log, 2);
        const int none = open("/dev/null", O_RDONLY);
        dup2(none, 0);
        std::vector<char*> argv;
        for (const auto& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(kTurnServer, argv.data());
        _exit(127);
    }
    setpgid(pid_, pid_);
    return WaitUntilServing(pid_, [&] { return TurnAccepts(address_, Port()); });
}

void Coturn::Stop() {
    EndProcessGroup(pid_);
}

std::string Coturn::Log() const {
    std::stringstream text;
    for (const char* name : {"turn.log", "stderr"}) {
        std::ifstream in(folder_ / name);
        text << in.rdbuf();
    }
    return text.str();
}

bool Coturn::WaitForLog(const std::string& text, std::chrono::milliseconds limit) const {
    return WaitForText([this] { return Log(); }, text, limit);
}

}  // namespace velto::test
