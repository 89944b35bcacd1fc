#pragma once

#include <filesystem>
#include <memory>

#include "velto-scenario/ScenarioRunner.h"

namespace velto::scenario {

// The desktop front end for a scenario run (on the offscreen platform unless another is
// set): "shot NAME" saves a PNG of every visible window as DIR/NAME-WINDOW.png, and "open
// language-dialog" shows the first-start question without waiting.
class GuiRun {
  public:
    // `dark`: the windows as under a dark desktop theme.
    GuiRun(int& argc, char** argv, std::filesystem::path shotsDir, bool dark = false);
    ~GuiRun();
    void Apply(RunOptions& options);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velto::scenario
