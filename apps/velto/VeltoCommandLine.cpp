#include "VeltoCommandLine.h"

namespace velto::program {

const cli::Tool& VeltoTool() {
    static const cli::Tool tool{
        .name = "velto",
        .synopsis = "[OPTION...] [/OnStartUp] | --demo [SCENARIO]",
        .about =
            "Answers a contact's call with the ring-back tone chosen for them, rings you\n"
            "with a small answering panel, and keeps the answering machine's messages.\n"
            "/OnStartUp (or -OnStartUp), as the session's start-up entry gives it,\n"
            "starts the program hidden. One copy runs per user; starting it again\n"
            "shows the running one. SIGTERM or SIGINT quits as the tray's Quit does.\n"
            "Settings: $XDG_CONFIG_HOME/Velto/user.reg; data: $XDG_DATA_HOME/Velto.",
        .options = {{"--backend", "sip|none",
                     "the call backend: a SIP user agent, or none (Skype absent); default:\n"
                     "SIP when an identity is set (velto-account)"},
                    {"--headless", "", "run without windows, tray icon or dialogs"},
                    {"--demo", "",
                     "play a scenario file (the operand after --demo; default: the\n"
                     "afternoon scenario) in real time on a simulated Skype client, with\n"
                     "the windows, until the tray's Quit"}},
        .exitCodes = {{cli::kExitOk, "the program ended (or showed the copy already running)"},
                      {cli::kExitFailure,
                       "the program could not start (e.g. not installed, or no display)"}},
        .legacySwitches = true,
    };
    return tool;
}

std::string TakeDemoScenario(std::vector<std::string>& arguments) {
    for (size_t i = 0; i + 1 < arguments.size(); ++i) {
        const std::string& next = arguments[i + 1];
        if (arguments[i] == "--demo" && !next.empty() && next[0] != '-' && next[0] != '/') {
            std::string scenario = next;
            arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return scenario;
        }
    }
    return {};
}

}  // namespace velto::program
