#pragma once

#include <filesystem>
#include <string>

namespace velto::program {

// Plays `scenario` (empty: the afternoon scenario) in real time with the desktop front end
// on the simulated Skype client, in a throw-away home folder, and keeps the windows up
// until the tray's Quit. Needs the QApplication.
int RunDemo(const std::string& scenario, const std::filesystem::path& executableFolder);

}  // namespace velto::program
