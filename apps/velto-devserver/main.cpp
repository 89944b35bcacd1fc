// velto-devserver: a development stand-in for the communication server and the partner's
// download host. Frame protocol on one port, HTTP (tone files, web panels) on another.

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "DevFrameServer.h"
#include "DevHttpServer.h"
#include "cli/Arguments.h"
#include "cli/GuardedMain.h"

namespace {

const velto::cli::Tool kTool{
    .name = "velto-devserver",
    .synopsis =
        "[--host ADDR] [--frame-port N] [--http-port N] [--catalogue FILE] "
        "[--tones DIR] [...]",
    .about =
        "A development stand-in for the communication server (frame protocol) and the\n"
        "partner's download host (HTTP: tone files, web panels). Runs until SIGINT or\n"
        "SIGTERM. Catalogue lines: handle<TAB>key<TAB>remote-name<TAB>title\n"
        "[<TAB>extra[<TAB>prefix]].",
    .options = {{"--host", "ADDR", "address to listen on (default 127.0.0.1)"},
                {"--frame-port", "N", "frame protocol port (default 84; 0: any free port)"},
                {"--http-port", "N", "HTTP port (default 3130; 0: any free port)"},
                {"--catalogue", "FILE", "the partner tones each user owns"},
                {"--tones", "DIR", "serve the files of DIR under /tones/"},
                {"--drop-after", "BYTES", "fault: close a download after BYTES bytes"},
                {"--drop-times", "N", "fault: do so for the first N downloads (default 1)"},
                {"--late-ms", "MS", "fault: answer every request MS milliseconds late"},
                {"--no-content-length", "", "fault: send downloads without a length"}},
    .exitCodes = {{velto::cli::kExitOk, "stopped by SIGINT or SIGTERM"},
                  {velto::cli::kExitFailure,
                   "the catalogue could not be read or a port not "
                   "opened"}},
};

// The whole text as a number in [low, high], or nothing.
std::optional<long long> ParseNumber(const std::string& text, long long low, long long high) {
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

int Run(const velto::cli::Arguments& args) {
    using namespace velto::devserver;
    const std::string host = args.Value("--host").value_or("127.0.0.1");
    const std::string cataloguePath = args.Value("--catalogue").value_or("");
    const std::string tonesDir = args.Value("--tones").value_or("");
    const bool noContentLength = args.Has("--no-content-length");
    // Each number option: its default, its range; the first bad one is the usage error.
    long long framePort = 84, httpPort = 3130, dropAfter = -1, dropTimes = 1, lateMs = 0;
    const struct {
        const char* option;
        long long& value;
        long long low;
        long long high;
    } numbers[] = {{"--frame-port", framePort, 0, 65535},
                   {"--http-port", httpPort, 0, 65535},
                   {"--drop-after", dropAfter, 0, INT64_MAX},
                   {"--drop-times", dropTimes, 0, INT32_MAX},
                   {"--late-ms", lateMs, 0, INT32_MAX}};
    for (const auto& number : numbers) {
        if (const auto text = args.Value(number.option)) {
            const auto value = ParseNumber(*text, number.low, number.high);
            if (!value) {
                return velto::cli::UsageError(
                    kTool, std::string("bad value for ") + number.option + ": '" + *text + "'",
                    std::cerr);
            }
            number.value = *value;
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
    http.faults().dropTimes = static_cast<int>(dropTimes);
    http.faults().lateMs = static_cast<int>(lateMs);
    http.faults().noContentLength = noContentLength;
    if (!http.Start(host, static_cast<int>(httpPort))) {
        std::fprintf(stderr, "velto-devserver: cannot listen on %s:%lld (http)\n", host.c_str(),
                     httpPort);
        return 1;
    }
    const std::string prefix = "http://" + host + ":" + std::to_string(http.port()) + "/tones/";
    DevFrameServer frames(std::move(catalogue), prefix);
    frames.lateMs = static_cast<int>(lateMs);
    frames.echo = true;
    if (!frames.Start(host, static_cast<int>(framePort))) {
        std::fprintf(stderr, "velto-devserver: cannot listen on %s:%lld (frames)\n", host.c_str(),
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

}  // namespace

int main(int argc, char** argv) {
    return velto::cli::GuardedMain("velto-devserver", [&] {
        int exitCode = 0;
        const auto args = velto::cli::Parse(kTool, std::vector<std::string>(argv + 1, argv + argc),
                                            std::cout, std::cerr, exitCode);
        return args ? Run(*args) : exitCode;
    });
}
