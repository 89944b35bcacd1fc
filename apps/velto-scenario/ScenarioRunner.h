#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/FrontEnd.h"
#include "backends/sim/HeardTimeline.h"
#include "calls/MissedCall.h"
#include "platform/Clock.h"
#include "velto-scenario/Scenario.h"

namespace velto::scenario {

// Ends a run early from another thread (a signal watcher): the program's orderly
// shut-down, then the report of what happened so far.
class Interrupt {
  public:
    // From any thread.
    void Request();
    bool Requested() const;
    // The runner's part: `onRequest` runs at the request (at once when it came already).
    void SetHandler(std::function<void()> onRequest);

  private:
    mutable std::mutex mutex_;
    bool requested_ = false;
    std::function<void()> onRequest_;
};

struct RunOptions {
    bool realTime = false;
    // Null: the run cannot be interrupted.
    Interrupt* interrupt = nullptr;
    // The sandbox home folder of the program's data and hives (must exist).
    std::filesystem::path dataDir;
    std::filesystem::path installDir;  // stock sounds
    // Relative file names in the scenario (tones, the development server's files) start
    // here; empty: the working folder.
    std::filesystem::path scenarioDir;

    // The front end to run the program with; null: the headless one. It is given the
    // scripted answering panels of the take and decline steps, the browser that only
    // records, and the scenario's language.
    std::function<std::unique_ptr<app::FrontEnd>(std::unique_ptr<calls::AnsweringPanels> script,
                                                 std::unique_ptr<platform::UrlOpener> browser,
                                                 int32_t language)>
        frontEnd;
    // Runs whenever the scenario waits, at least every kPumpEvery of clock time (the GUI's
    // own events).
    std::function<void()> pump;
    // The verbs that only a GUI carries out ("shot NAME", "open language-dialog"); false
    // with `why` when one fails. Null: they do nothing.
    std::function<bool(const Step& step, std::string& why)> guiVerb;
    // After the last step the program runs on until it is quit (the tray's Quit).
    bool stayOpen = false;
};

inline constexpr platform::Millis kPumpEvery{20};

struct CallReport {
    std::string name;
    std::string handle;
    int32_t id = 0;
    std::string type;
    std::vector<skype::sim::HeardSegment> heard;
    platform::Millis longestGap{0};
    std::vector<int32_t> statuses;
    std::string ending;
    std::optional<platform::Millis> panelShownAt;
    std::optional<platform::Millis> decidedAt;
    // The user's rule that decided the call; nothing: no rule did.
    std::optional<std::string> rule;
    // While the machine recorded: when the panel showed so, and when the user picked up.
    std::optional<platform::Millis> screenedAt;
    std::optional<platform::Millis> pickedUpAt;
    // What the computer's speaker played of the caller (listening in, or the call taken).
    std::vector<skype::sim::HeardSegment> localOutput;
};

struct FileReport {
    std::string path;
    uintmax_t bytes = 0;
    std::optional<platform::Millis> wavLength;
};

struct PartnerToneReport {
    std::string key;
    std::string title;
    std::string localPath;
    bool downloaded = false;
    bool failed = false;
};

struct Report {
    std::vector<CallReport> calls;
    std::vector<std::string> chats;  // "at ms -> handle: text"
    std::vector<calls::MissedCall> missedCalls;
    std::vector<FileReport> recordings;
    std::vector<FileReport> files;
    std::vector<std::string> problems;
    // The partner catalogue and the standard-tone setting at the end.
    std::vector<PartnerToneReport> partnerTones;
    int32_t standardTone = 0;
    std::string partnerToneKey;
    platform::Millis endedAt{0};
    // The run was ended early by an interrupt (a signal).
    bool interrupted = false;
    std::string dataDir;
    // When access was first granted, and when the contact list settled after it (the
    // main window's WM_CONTACTS_STABLE), from the start.
    std::optional<platform::Millis> attachedAt;
    std::optional<platform::Millis> contactListShownAt;
};

// Plays the scenario; false with `error` when a step cannot be carried out.
bool RunScenario(const std::vector<Step>& steps, const RunOptions& options, Report& report,
                 std::string& error);

void PrintReport(const Report& report, std::ostream& out);
void PrintJsonReport(const Report& report, std::ostream& out);

}  // namespace velto::scenario
