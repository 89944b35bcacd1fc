#include "Demo.h"

#include <stdlib.h>

#include <QApplication>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/Trace.h"
#include "ui/DialogDriver.h"
#include "ui/FrontEndVerbs.h"
#include "ui/QtFrontEnd.h"
#include "velto-scenario/ScenarioRunner.h"

namespace velto::program {

namespace {

std::filesystem::path DefaultScenario(const std::filesystem::path& executableFolder) {
    for (const auto& candidate :
         {executableFolder / ".." / "share" / "velto" / "scenarios" / "afternoon.scn",
          std::filesystem::path(VELTO_SOURCE_DIR) / "scenarios" / "afternoon.scn"}) {
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) {
            return candidate;
        }
    }
    return {};
}

}  // namespace

int RunDemo(const std::string& scenario, const std::filesystem::path& executableFolder) {
    const std::filesystem::path file =
        scenario.empty() ? DefaultScenario(executableFolder) : std::filesystem::path(scenario);
    std::ifstream in(file, std::ios::binary);
    if (file.empty() || !in) {
        std::cerr << "velto: cannot read the demo scenario " << file << "\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    const scenario::ParsedScenario parsed = scenario::ParseScenario(text.str());
    if (!parsed.error.empty()) {
        std::cerr << "velto: " << file << ": " << parsed.error << "\n";
        return 1;
    }
    std::string home = (std::filesystem::temp_directory_path() / "velto-demo-XXXXXX").string();
    if (mkdtemp(home.data()) == nullptr) {
        std::cerr << "velto: cannot make a temporary folder\n";
        return 1;
    }
    scenario::RunOptions options;
    options.realTime = true;
    options.dataDir = home;
    options.installDir = (executableFolder / ".." / "share" / "velto").lexically_normal();
    options.scenarioDir = std::filesystem::absolute(file).parent_path();
    options.stayOpen = true;
    ui::QtFrontEnd* shown = nullptr;
    options.frontEnd = [&shown](std::unique_ptr<calls::AnsweringPanels> script,
                                std::unique_ptr<platform::UrlOpener>, int32_t language) {
        ui::QtFrontEnd::Options front;
        front.language = language;
        front.script = std::move(script);
        // No communication server runs in the demo.
        front.webBase = std::string();
        front.notificationBus = ui::ConnectSessionBus;
        auto made = std::make_unique<ui::QtFrontEnd>(std::move(front));
        shown = made.get();
        return made;
    };
    // The window verbs click the contact list and the dialogs; relative files of "pick"
    // start at the scenario's folder.
    options.guiVerb = [&shown, &options](const scenario::Step& step, std::string& why) {
        if (!ui::DialogDriver::Knows(step.verb) ||
            (step.verb == "open" && step.args.size() == 1 && step.args[0] == "language-dialog")) {
            return true;
        }
        return ui::DriveFrontEnd(shown, options.scenarioDir, step.verb, step.args, why);
    };
    options.pump = [] { QApplication::processEvents(); };
    std::cout << "velto: playing " << file.string() << " in real time; the tray's Quit ends it\n";
    scenario::Report report;
    std::string error;
    if (!scenario::RunScenario(parsed.steps, options, report, error)) {
        std::cerr << "velto: " << file << ": " << error << "\n";
        return 1;
    }
    scenario::PrintReport(report, std::cout);
    return 0;
}

}  // namespace velto::program
