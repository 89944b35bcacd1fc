#include "ui/model/ToneFiles.h"

#include "platform/FileLookup.h"

namespace velto::ui {

const char* DefaultGreetingFile(int32_t language) {
    return language == 0 || language == 1 ? kChineseGreetingFile : kEnglishGreetingFile;
}

std::filesystem::path FileIn(const std::filesystem::path& folder, const std::string& name) {
    return platform::ResolveNoCase(folder, name);
}

}  // namespace velto::ui
