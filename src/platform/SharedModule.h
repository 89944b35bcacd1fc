#pragma once

#include <filesystem>
#include <string>

namespace velto::platform {

// A symbol of a shared module loaded at run time, or why there is none.
struct ModuleSymbol {
    void* address = nullptr;
    std::string error;
};

// Loads the module at `file` with every reference resolved now (a missing library fails
// here, not in the middle of a call) and looks up `symbol` in it. The module stays loaded
// for the rest of the process: objects it made may outlive any owner that would unload it.
ModuleSymbol LoadModuleSymbol(const std::filesystem::path& file, const char* symbol);

}  // namespace velto::platform
