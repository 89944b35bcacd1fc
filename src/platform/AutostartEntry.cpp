#include "platform/AutostartEntry.h"

#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/PathComponent.h"

namespace velto::platform {

namespace {

// Quotes one argument of an Exec line as the desktop-entry rules ask.
std::string ExecArgument(const std::string& argument) {
    if (argument.find_first_of(" \t\"'\\><~|&;$*?#()`=") == std::string::npos) {
        return argument;
    }
    std::string out = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    return out + "\"";
}

// A Run value is not quoted: the program path may hold blanks, so the arguments are the
// trailing words that start like switches ("/OnStartUp", "-x").
std::string ExecLine(const std::string& commandLine) {
    std::string program = commandLine;
    std::string arguments;
    while (true) {
        const size_t blank = program.rfind(' ');
        if (blank == std::string::npos) {
            break;
        }
        const std::string word = program.substr(blank + 1);
        const bool isSwitch = !word.empty() && (word[0] == '-' || word[0] == '/') &&
                              word.find('/', 1) == std::string::npos;
        if (!isSwitch) {
            break;
        }
        arguments = " " + ExecArgument(word) + arguments;
        program.resize(blank);
    }
    std::string exec = ExecArgument(program) + arguments;
    // '%' introduces field codes in Exec.
    std::string escaped;
    for (char c : exec) {
        escaped += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return escaped;
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        out.push_back(c == '\n' || c == '\r' ? ' ' : c);
    }
    return out;
}

}  // namespace

std::filesystem::path AutostartEntryPath(const std::filesystem::path& folder,
                                         const std::string& name) {
    std::string file = name;
    for (char& c : file) {
        if (c == '/' || c == '\\' || c == '\0') {
            c = '_';  // a value name must not reach outside the folder
        }
    }
    file += ".desktop";
    if (!IsSafePathComponent(file)) {
        return {};
    }
    return folder / file;
}

std::string AutostartEntryText(const std::string& name, const std::string& commandLine) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           OneLine(name) +
           "\n"
           "Exec=" +
           OneLine(ExecLine(commandLine)) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool WriteAutostartEntry(const std::filesystem::path& folder, const std::string& name,
                         const std::string& commandLine) {
    const auto path = AutostartEntryPath(folder, name);
    return !path.empty() &&
           WriteFileAtomically(path, AutostartEntryText(name, commandLine), 0644) == 0;
}

bool RemoveAutostartEntry(const std::filesystem::path& folder, const std::string& name) {
    const auto path = AutostartEntryPath(folder, name);
    std::error_code error;
    std::filesystem::remove(path, error);
    return !path.empty() && !error;
}

}  // namespace velto::platform
