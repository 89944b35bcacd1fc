#include "velto-convert/ConvertCommand.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "audio/ToneConversion.h"
#include "cli/Arguments.h"
#include "platform/KnownFolders.h"
#include "platform/TempFile.h"
#include "platform/Trace.h"

namespace velto::convert {

namespace {

const cli::Tool kTool{
    .name = "velto-convert",
    .synopsis = "[--json] [--two-step] IN OUT",
    .about =
        "Turns the MP3 or WAV file IN into the tone file OUT (16-bit PCM, one channel,\n"
        "16000 samples per second), the way a file the user picks is converted. A name\n"
        "ending in \"mp3\" (any letter case) is decoded as MP3. OUT is written only when\n"
        "the tone is usable; a failed conversion leaves an existing OUT as it was.",
    .options = {{"--json", "", "print the outcome as one JSON line (no decoder status text)"},
                {"--two-step", "",
                 "decode an MP3 through a temporary WAV file first (slower,\n"
                 "the same tone)"}},
    .exitCodes = {{cli::kExitOk, "OUT holds a usable tone"},
                  {cli::kExitFailure, "no usable tone could be made; OUT is unchanged"}},
    .minOperands = 2,
    .maxOperands = 2,
};

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

void PrintJson(const audio::ToneReport& report, std::ostream& out) {
    out << "{\"usable\":" << (report.Usable() ? "true" : "false")
        << ",\"status\":" << JsonString(report.decodeStatus)
        << ",\"decoded\":" << (report.decoded ? "true" : "false")
        << ",\"result\":" << report.decodeResult << ",\"frames\":" << report.decodeStats.frames
        << ",\"input_ms\":" << report.InputMs() << ",\"output_ms\":" << report.OutputMs()
        << ",\"samples\":" << report.convert.samples
        << ",\"failure\":" << JsonString(report.failure) << "}\n";
}

// The folder a new file named `path` goes into.
std::filesystem::path FolderOf(const std::filesystem::path& path) {
    const auto parent = path.parent_path();
    return parent.empty() ? std::filesystem::path(".") : parent;
}

// What a file created with fopen would get: 0666 less the process's umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

int RunConvert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    int exitCode = cli::kExitOk;
    const std::optional<cli::Arguments> args = cli::Parse(kTool, arguments, out, err, exitCode);
    if (!args) {
        return exitCode;
    }
    const bool json = args->Has("--json");
    const bool twoStep = args->Has("--two-step");
    const std::filesystem::path in = args->operands()[0];
    const std::filesystem::path target = args->operands()[1];
    const bool isMp3 = audio::IsMp3Name(std::string_view(args->operands()[0]));

    // The tone is made beside OUT (same file system, so the rename is atomic).
    const auto staging = platform::CreateTempFile(FolderOf(target), ".velto-convert-");
    if (!staging) {
        err << "velto-convert: cannot write in the folder of " << target.string() << ": "
            << std::strerror(errno) << "\n";
        return cli::kExitFailure;
    }
    platform::TempFileGuard stagingGuard(*staging);

    std::optional<std::filesystem::path> scratch;
    std::optional<platform::TempFileGuard> scratchGuard;
    if (isMp3 && twoStep) {
        scratch = platform::CreateTempFile(platform::KnownFolders::FromProcess().Temp(), "SKY");
        if (!scratch) {
            err << "velto-convert: cannot create a temporary file: " << std::strerror(errno)
                << "\n";
            return cli::kExitFailure;
        }
        scratchGuard.emplace(*scratch);
    }
    // The decoder's status text goes to standard output through the trace; with --json it
    // is part of the one JSON line instead.
    std::optional<platform::TraceCapture> quiet;
    if (json) {
        quiet.emplace();
    }
    const audio::ToneReport report =
        twoStep ? audio::MakeTone(in, isMp3, scratch.value_or(""), *staging)
                : audio::MakeToneDirect(in, isMp3, *staging);
    quiet.reset();
    if (json) {
        PrintJson(report, out);
    }
    if (!report.Usable()) {
        err << "velto-convert: " << in.string() << " gives no usable tone: " << report.failure
            << "; " << target.string() << " is not written\n";
        return cli::kExitFailure;
    }
    if (::chmod(staging->c_str(), NewFileMode()) != 0 ||
        std::rename(staging->c_str(), target.c_str()) != 0) {
        err << "velto-convert: cannot write " << target.string() << ": " << std::strerror(errno)
            << "\n";
        return cli::kExitFailure;
    }
    stagingGuard.Release();
    return cli::kExitOk;
}

}  // namespace velto::convert
