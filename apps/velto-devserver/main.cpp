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

// The number options, with their defaults.
struct Numbers {
    long long framePort = 84, httpPort = 3130, dropAfter = -1, dropTimes = 1, lateMs = 0;
};

// Reads the number options, each in its range; false with the usage error's text for the
// first bad one.
bool ReadNumbers(const velto::cli::Arguments& args, Numbers& n, std::string& error) {
    const struct {
        const char* option;
        long long& value;
        long long low;
        long long high;
    } numbers[] = {{"--frame-port", n.framePort, 0, 65535},
                   {"--http-port", n.httpPort, 0, 65535},
                   {"--drop-after", n.dropAfter, 0, INT64_MAX},
                   {"--drop-times", n.dropTimes, 0, INT32_MAX},
                   {"--late-ms", n.lateMs, 0, INT32_MAX}};
    for (const auto& number : numbers) {
        if (const auto text = args.Value(number.option)) {
            const auto value = ParseNumber(*text, number.low, number.high);
            if (!value) {
                error = std::string("bad value for ") + number.option + ": '" + *text + "'";
                return false;
            }
            number.value = *value;
        }
    }
    return true;
}

// The catalogue file (none: an empty catalogue); false after saying why on stderr.
bool ReadCatalogueFile(const std::string& path, velto::devserver::ToneCatalogue& catalogue) {
    if (path.empty()) {
        return true;
    }
    std::ifstream in(path);
    std::string error;
    if (!in) {
        std::fprintf(stderr, "velto-devserver: cannot open %s\n", path.c_str());
        return false;
    }
    if (!velto::devserver::ReadToneCatalogue(in, catalogue, error)) {
        std::fprintf(stderr, "velto-devserver: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

int Run(const velto::cli::Arguments& args) {
    using namespace velto::devserver;
    const std::string host = args.Value("--host").value_or("127.0.0.1");
    const std::string tonesDir = args.Value("--tones").value_or("");
    const bool noContentLength = args.Has("--no-content-length");
    Numbers n;
    if (std::string error; !ReadNumbers(args, n, error)) {
        return velto::cli::UsageError(kTool, error, std::cerr);
    }
    ToneCatalogue catalogue;
    if (!ReadCatalogueFile(args.Value("--catalogue").value_or(""), catalogue)) {
        return 1;
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
    http.faults().dropAfter = n.dropAfter;
    http.faults().dropTimes = static_cast<int>(n.dropTimes);
    http.faults().lateMs = static_cast<int>(n.lateMs);
    http.faults().noContentLength = noContentLength;
    if (!http.Start(host, static_cast<int>(n.httpPort))) {
        std::fprintf(stderr, "velto-devserver: cannot listen on %s:%lld (http)\n", host.c_str(),
                     n.httpPort);
        return 1;
    }
    const std::string prefix = "http://" + host + ":" + std::to_string(http.port()) + "/tones/";
    DevFrameServer frames(std::move(catalogue), prefix);
    frames.lateMs = static_cast<int>(n.lateMs);
    frames.echo = true;
    if (!frames.Start(host, static_cast<int>(n.framePort))) {
        std::fprintf(stderr, "velto-devserver: cannot listen on %s:%lld (frames)\n", host.c_str(),
                     n.framePort);
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
