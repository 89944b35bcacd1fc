// velto-convert IN OUT: turns an MP3 or WAV file into a tone file (16-bit PCM, one channel,
// 16000 samples per second), the way a file the user picks is converted.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "audio/ToneConversion.h"
#include "platform/KnownFolders.h"
#include "platform/TempFile.h"
#include "platform/Trace.h"

namespace {

using namespace velto;

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int Usage() {
    std::fprintf(stderr, "usage: velto-convert [--json] [--two-step] IN OUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false;
    bool twoStep = false;  // through a scratch WAV: slower, the same bytes
    const char* paths[2] = {};
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--two-step") == 0) {
            twoStep = true;
        } else if (count < 2) {
            paths[count++] = argv[i];
        } else {
            return Usage();
        }
    }
    if (count != 2) {
        return Usage();
    }
    const std::filesystem::path in = paths[0];
    const std::filesystem::path out = paths[1];
    const bool isMp3 = audio::IsMp3Name(std::string_view(paths[0]));

    std::optional<std::filesystem::path> scratch;
    std::optional<platform::TempFileGuard> scratchGuard;
    if (isMp3 && twoStep) {
        scratch = platform::CreateTempFile(platform::KnownFolders::FromProcess().Temp(), "SKY");
        if (!scratch) {
            std::fprintf(stderr, "velto-convert: cannot create a temporary file: %s\n",
                         std::strerror(errno));
            return 1;
        }
        scratchGuard.emplace(*scratch);
    }
    // The decoder's status text goes to standard output through the trace; with --json it
    // is part of the one JSON line instead.
    std::optional<platform::TraceCapture> quiet;
    if (json) {
        quiet.emplace();
    }
    const audio::ToneReport report = twoStep ? audio::MakeTone(in, isMp3, scratch.value_or(""), out)
                                             : audio::MakeToneDirect(in, isMp3, out);
    if (json) {
        std::printf(
            "{\"usable\":%s,\"status\":%s,\"decoded\":%s,\"result\":%d,\"frames\":%lu,"
            "\"input_ms\":%llu,\"output_ms\":%llu,\"samples\":%llu,\"failure\":%s}\n",
            report.Usable() ? "true" : "false", JsonString(report.decodeStatus).c_str(),
            report.decoded ? "true" : "false", report.decodeResult, report.decodeStats.frames,
            static_cast<unsigned long long>(report.InputMs()),
            static_cast<unsigned long long>(report.OutputMs()),
            static_cast<unsigned long long>(report.convert.samples),
            JsonString(report.failure).c_str());
    }
    if (!report.Usable()) {
        std::fprintf(stderr, "velto-convert: %s is not a usable tone: %s\n", out.c_str(),
                     report.failure.c_str());
        return 1;
    }
    return 0;
}
