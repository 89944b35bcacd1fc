// velto-devserver: a development stand-in for the communication server and the partner's
// download host. Frame protocol on one port, HTTP (tone files, web panels) on another.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "DevFrameServer.h"
#include "DevHttpServer.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: velto-devserver [--host ADDR] [--frame-port N] [--http-port N]\n"
                 "                       [--catalogue FILE] [--tones DIR]\n"
                 "                       [--drop-after BYTES [--drop-times N]] [--late-ms MS]\n"
                 "                       [--no-content-length]\n"
                 "defaults: host 127.0.0.1, frame port 84, http port 3130\n"
                 "catalogue lines: handle<TAB>key<TAB>remote-name<TAB>title[<TAB>extra"
                 "[<TAB>prefix]]\n");
}

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 0 || value > 65535) {
        return false;
    }
    port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velto::devserver;
    std::string host = "127.0.0.1";
    int framePort = 84;
    int httpPort = 3130;
    std::string cataloguePath;
    std::string tonesDir;
    long long dropAfter = -1;
    int dropTimes = 1;
    int lateMs = 0;
    bool noContentLength = false;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "velto-devserver: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--host") {
            host = value();
        } else if (arg == "--frame-port") {
            if (!ParsePort(value(), framePort)) {
                Usage();
                return 2;
            }
        } else if (arg == "--http-port") {
            if (!ParsePort(value(), httpPort)) {
                Usage();
                return 2;
            }
        } else if (arg == "--catalogue") {
            cataloguePath = value();
        } else if (arg == "--tones") {
            tonesDir = value();
        } else if (arg == "--drop-after") {
            dropAfter = std::atoll(value());
        } else if (arg == "--drop-times") {
            dropTimes = std::atoi(value());
        } else if (arg == "--late-ms") {
            lateMs = std::atoi(value());
        } else if (arg == "--no-content-length") {
            noContentLength = true;
        } else {
            Usage();
            return arg == "--help" ? 0 : 2;
        }
    }

    ToneCatalogue catalogue;
    if (!cataloguePath.empty()) {
        std::ifstream in(cataloguePath);
        std::string error;
        if (!in) {
            std::fprintf(stderr, "velto-devserver: cannot open %s\n", cataloguePath.c_str());
            return 1;
        }
        if (!ReadToneCatalogue(in, catalogue, error)) {
            std::fprintf(stderr, "velto-devserver: %s: %s\n", cataloguePath.c_str(), error.c_str());
            return 1;
        }
    }

    // Stop on SIGINT/SIGTERM; block them before any thread starts so sigwait gets them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    DevHttpServer http;
    if (!tonesDir.empty()) {
        http.ServeFolder("/tones/", tonesDir);
    }
    http.faults().dropAfter = dropAfter;
    http.faults().dropTimes = dropTimes;
    http.faults().lateMs = lateMs;
    http.faults().noContentLength = noContentLength;
    if (!http.Start(host, httpPort)) {
        std::fprintf(stderr, "velto-devserver: cannot listen on %s:%d (http)\n", host.c_str(),
                     httpPort);
        return 1;
    }
    const std::string prefix = "http://" + host + ":" + std::to_string(http.port()) + "/tones/";
    DevFrameServer frames(std::move(catalogue), prefix);
    frames.lateMs = lateMs;
    frames.echo = true;
    if (!frames.Start(host, framePort)) {
        std::fprintf(stderr, "velto-devserver: cannot listen on %s:%d (frames)\n", host.c_str(),
                     framePort);
        return 1;
    }
    std::printf("velto-devserver: frames on %s:%d, http on %s:%d\n", host.c_str(), frames.port(),
                host.c_str(), http.port());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    frames.Stop();
    http.Stop();
    return 0;
}
