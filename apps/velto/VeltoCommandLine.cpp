#include "VeltoCommandLine.h"

namespace velto::program {

const cli::Tool& VeltoTool() {
    static const cli::Tool tool{
        .name = "velto",
        .synopsis = "[OPTION...] [/OnStartUp]",
        .about =
            "Answers a contact's call with the ring-back tone chosen for them, rings you\n"
            "with a small answering panel, and keeps the answering machine's messages.\n"
            "/OnStartUp (or -OnStartUp), as the session's start-up entry gives it,\n"
            "starts the program hidden. One copy runs per user; starting it again\n"
            "shows the running one. SIGTERM or SIGINT quits as the tray's Quit does.\n"
            "Settings: $XDG_CONFIG_HOME/Velto/user.reg; data: $XDG_DATA_HOME/Velto.",
        .options = {{"--backend", "sip|none",
                     "the call backend: a SIP user agent, or none (Skype absent); default:\n"
                     "SIP when an identity is set (velto-account)"}},
        .exitCodes = {{cli::kExitOk, "the program ended (or showed the copy already running)"},
                      {cli::kExitFailure, "the program could not start (e.g. not installed)"}},
        .legacySwitches = true,
    };
    return tool;
}

}  // namespace velto::program
