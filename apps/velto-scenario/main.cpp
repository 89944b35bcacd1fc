// velto-scenario: plays a scenario file against the simulated Skype client and reports
// what every caller heard and what the program did. See README.md, "Scenario files".
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/QuitSignals.h"
#include "platform/Trace.h"
#include "velto-scenario/ScenarioRunner.h"

namespace {

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

int Usage() {
    std::cerr << "usage: velto-scenario [--json] [--real-time] [--data DIR] [--install DIR] "
                 "[--trace] FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velto;
    bool json = false;
    bool trace = false;
    scenario::RunOptions options;
    options.installDir = ExecutableFolder() / ".." / "share" / "velto";
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--real-time") {
            options.realTime = true;
        } else if (arg == "--trace") {
            trace = true;
        } else if ((arg == "--data" || arg == "--install") && i + 1 < argc) {
            (arg == "--data" ? options.dataDir : options.installDir) = argv[++i];
        } else if (file.empty() && !arg.starts_with("--")) {
            file = arg;
        } else {
            return Usage();
        }
    }
    if (file.empty()) {
        return Usage();
    }
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
    std::filesystem::create_directories(options.dataDir);
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
