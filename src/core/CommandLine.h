#pragma once

#include <string>
#include <vector>

namespace velto::core {

// The program's one command-line option: "OnStartUp" after "/" or "-" (exactly so,
// letter case included), written by the autostart entry, starts the main window hidden.
// Everything else on the command line is ignored.
class CCustomCommandLineInfo {
  public:
    // One parameter: `param` is its text without the leading "/" or "-", `flag` says that
    // one was there.
    void ParseParam(const std::string& param, bool flag, bool last);

    bool startedHidden() const { return startedHidden_; }

  private:
    bool startedHidden_ = false;
};

// Feeds each argument (without the program name) to `info`, splitting off a leading "/"
// or "-" as the flag mark.
void ParseCommandLine(const std::vector<std::string>& arguments, CCustomCommandLineInfo& info);

}  // namespace velto::core
