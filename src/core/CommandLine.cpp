#include "core/CommandLine.h"

namespace velto::core {

void CCustomCommandLineInfo::ParseParam(const std::string& param, bool flag, bool /*last*/) {
    if (flag && param == "OnStartUp") {
        startedHidden_ = true;
    }
}

void ParseCommandLine(const std::vector<std::string>& arguments, CCustomCommandLineInfo& info) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool flag = !argument.empty() && (argument[0] == '/' || argument[0] == '-');
        info.ParseParam(flag ? argument.substr(1) : argument, flag, i + 1 == arguments.size());
    }
}

}  // namespace velto::core
