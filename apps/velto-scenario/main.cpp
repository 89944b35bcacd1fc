// velto-scenario: plays a scenario file against the simulated Skype client and reports
// what every caller heard and what the program did. See README.md, "Scenario files".
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/Arguments.h"
#include "cli/GuardedMain.h"
#include "platform/QuitSignals.h"
#include "platform/Trace.h"
#include "velto-scenario/GuiRun.h"
#include "velto-scenario/ScenarioRunner.h"

namespace {

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

const velto::cli::Tool kTool{
    .name = "velto-scenario",
    .synopsis =
        "[--json] [--real-time] [--data DIR] [--install DIR] [--trace] [--gui] "
        "[--shots DIR] [--dark] FILE",
    .about =
        "Plays the scenario FILE against the whole program on the simulated Skype client,\n"
        "on a virtual clock, and reports what each caller heard and what the program\n"
        "did (see README.md, \"Scenario files\").",
    .options = {{"--json", "", "print the report as one JSON object"},
                {"--real-time", "", "run on the real clock instead of the virtual one"},
                {"--data", "DIR", "the program's home folder (default: a new temporary folder)"},
                {"--install", "DIR", "the stock sounds' folder (default: <bin>/../share/velto)"},
                {"--trace", "", "show the program's trace lines on standard output"},
                {"--gui", "", "run with the desktop front end (offscreen unless QT_QPA_PLATFORM)"},
                {"--shots", "DIR", "where 'shot NAME' saves its pictures (default: .)"},
                {"--dark", "", "with --gui: the windows under a dark desktop palette"}},
    .exitCodes = {{velto::cli::kExitOk, "the scenario ran; the report follows"},
                  {velto::cli::kExitFailure, "the scenario could not be read or run"}},
    .minOperands = 1,
    .maxOperands = 1,
};

int Run(const velto::cli::Arguments& args, int& argc, char** argv) {
    using namespace velto;
    std::optional<scenario::GuiRun> gui;
    const bool json = args.Has("--json");
    const bool trace = args.Has("--trace");
    scenario::RunOptions options;
    options.realTime = args.Has("--real-time");
    options.installDir =
        args.Value("--install").value_or(ExecutableFolder() / ".." / "share" / "velto");
    options.dataDir = args.Value("--data").value_or("");
    if (args.Has("--gui")) {
        gui.emplace(argc, argv, args.Value("--shots").value_or("."), args.Has("--dark"));
        gui->Apply(options);
    }
    const std::string file = args.operands()[0];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "velto-scenario: cannot read " << file << "\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    const scenario::ParsedScenario parsed = scenario::ParseScenario(text.str());
    if (!parsed.error.empty()) {
        std::cerr << "velto-scenario: " << file << ": " << parsed.error << "\n";
        return 1;
    }
    if (options.dataDir.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "velto-scenario-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            std::cerr << "velto-scenario: cannot make a temporary folder\n";
            return 1;
        }
        options.dataDir = pattern;
    }
    std::error_code made;
    std::filesystem::create_directories(options.dataDir, made);
    if (made) {
        std::cerr << "velto-scenario: cannot make " << options.dataDir.string() << ": "
                  << made.message() << "\n";
        return 1;
    }
    options.dataDir = std::filesystem::absolute(options.dataDir);
    options.installDir = std::filesystem::absolute(options.installDir).lexically_normal();
    options.scenarioDir = std::filesystem::absolute(file).parent_path();

    // The program's trace lines go to standard error with --trace, else nowhere.
    std::optional<platform::TraceCapture> quiet;
    quiet.emplace();
    quiet->set_echo(false);
    if (trace) {
        quiet.reset();
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    }
    // In real time SIGINT and SIGTERM end the run as they end velto: the program's orderly
    // shut-down, then the report so far. Set up before any other thread starts.
    scenario::Interrupt interrupt;
    std::optional<platform::QuitSignals> signals;
    if (options.realTime) {
        signals.emplace([&interrupt](int) { interrupt.Request(); });
        options.interrupt = &interrupt;
    }
    scenario::Report report;
    std::string error;
    if (!scenario::RunScenario(parsed.steps, options, report, error)) {
        std::cerr << "velto-scenario: " << file << ": " << error << "\n";
        return 1;
    }
    quiet.reset();
    json ? scenario::PrintJsonReport(report, std::cout) : scenario::PrintReport(report, std::cout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return velto::cli::GuardedMain("velto-scenario", [&] {
        int exitCode = 0;
        const auto args = velto::cli::Parse(kTool, std::vector<std::string>(argv + 1, argv + argc),
                                            std::cout, std::cerr, exitCode);
        return args ? Run(*args, argc, argv) : exitCode;
    });
}
