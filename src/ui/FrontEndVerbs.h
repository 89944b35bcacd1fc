#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velto::ui {

class QtFrontEnd;

// Carries out one window verb (see DialogDriver) on the windows `shown` has made; a relative
// file given to "pick" starts at `scenarioDir`. False with `why` when there are no windows yet
// or the verb could not be carried out.
bool DriveFrontEnd(QtFrontEnd* shown, const std::filesystem::path& scenarioDir,
                   const std::string& verb, std::vector<std::string> args, std::string& why);

}  // namespace velto::ui
