#include "server/SystemDescription.h"

#include <sys/utsname.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace velto::server {

namespace {

// Reads a decimal number at `pos`; false when there is none.
bool ReadNumber(std::string_view text, size_t& pos, unsigned long& value) {
    const size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 9) {
        value = value * 10 + static_cast<unsigned long>(text[pos] - '0');
        ++pos;
    }
    return pos > start;
}

// A value of os-release: optionally quoted, with backslash escapes inside double quotes.
std::string Unquote(std::string_view raw) {
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') &&
        raw.back() == raw.front()) {
        const char quote = raw.front();
        raw = raw.substr(1, raw.size() - 2);
        std::string out;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (quote == '"' && raw[i] == '\\' && i + 1 < raw.size()) {
                ++i;
            }
            out += raw[i];
        }
        return out;
    }
    return std::string(raw);
}

std::map<std::string, std::string> ParseOsRelease(std::string_view text) {
    std::map<std::string, std::string> values;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos) {
            continue;
        }
        values[line.substr(0, eq)] = Unquote(std::string_view(line).substr(eq + 1));
    }
    return values;
}

// Cut to `limit` bytes without splitting a UTF-8 sequence; no control characters.
std::string Clean(std::string text, size_t limit) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    if (text.size() > limit) {
        size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    return text;
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str().substr(0, 64 * 1024);
}

}  // namespace

std::optional<std::string> DescribeSystem(std::string_view kernelRelease,
                                          std::string_view osRelease) {
    std::array<unsigned long, 3> numbers{};
    size_t pos = 0;
    if (!ReadNumber(kernelRelease, pos, numbers[0])) {
        return std::nullopt;
    }
    for (size_t i = 1; i < numbers.size(); ++i) {
        if (pos + 1 < kernelRelease.size() && kernelRelease[pos] == '.') {
            ++pos;
            if (!ReadNumber(kernelRelease, pos, numbers[i])) {
                break;
            }
        } else {
            break;
        }
    }
    const auto values = ParseOsRelease(osRelease);
    std::string extra;
    if (auto it = values.find("PRETTY_NAME"); it != values.end() && !it->second.empty()) {
        extra = it->second;
    } else if (auto name = values.find("NAME"); name != values.end()) {
        extra = name->second;
        if (auto version = values.find("VERSION"); version != values.end()) {
            extra += " " + version->second;
        }
    }
    return std::to_string(kLinuxPlatformId) + "_" + std::to_string(numbers[0]) + "_" +
           std::to_string(numbers[1]) + "_" + std::to_string(numbers[2]) + "_" +
           Clean(extra, kSystemExtraLimit);
}

std::optional<std::string> DescribeThisSystem() {
    utsname names{};
    if (uname(&names) != 0) {
        return std::nullopt;
    }
    std::string osRelease = ReadFile("/etc/os-release");
    if (osRelease.empty()) {
        osRelease = ReadFile("/usr/lib/os-release");
    }
    return DescribeSystem(names.release, osRelease);
}

uint16_t LanguageIdFromLocale(std::string_view locale) {
    constexpr uint16_t kEnglishUs = 0x0409;
    static const std::map<std::string_view, uint16_t> kRegional = {
        {"ar_SA", 0x0401}, {"zh_TW", 0x0404}, {"zh_CN", 0x0804}, {"zh_HK", 0x0C04},
        {"zh_SG", 0x1004}, {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07},
        {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
        {"en_NZ", 0x1409}, {"en_IE", 0x1809}, {"en_IN", 0x4009}, {"es_ES", 0x0C0A},
        {"es_MX", 0x080A}, {"es_AR", 0x2C0A}, {"fr_FR", 0x040C}, {"fr_BE", 0x080C},
        {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"it_IT", 0x0410}, {"it_CH", 0x0810},
        {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
        {"sv_SE", 0x041D}, {"sv_FI", 0x081D},
    };
    // Primary language with its default sub-language.
    static const std::map<std::string_view, uint16_t> kLanguage = {
        {"ar", 0x0401}, {"bg", 0x0402}, {"ca", 0x0403}, {"zh", 0x0804}, {"cs", 0x0405},
        {"da", 0x0406}, {"de", 0x0407}, {"el", 0x0408}, {"en", 0x0409}, {"es", 0x0C0A},
        {"fi", 0x040B}, {"fr", 0x040C}, {"he", 0x040D}, {"hu", 0x040E}, {"is", 0x040F},
        {"it", 0x0410}, {"ja", 0x0411}, {"ko", 0x0412}, {"nl", 0x0413}, {"nb", 0x0414},
        {"no", 0x0414}, {"pl", 0x0415}, {"pt", 0x0416}, {"ro", 0x0418}, {"ru", 0x0419},
        {"hr", 0x041A}, {"sk", 0x041B}, {"sv", 0x041D}, {"th", 0x041E}, {"tr", 0x041F},
        {"id", 0x0421}, {"uk", 0x0422}, {"sl", 0x0424}, {"et", 0x0425}, {"lv", 0x0426},
        {"lt", 0x0427}, {"vi", 0x042A}, {"hi", 0x0439}, {"ms", 0x043E},
    };
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    if (auto it = kRegional.find(name); it != kRegional.end()) {
        return it->second;
    }
    if (auto it = kLanguage.find(name.substr(0, name.find('_'))); it != kLanguage.end()) {
        return it->second;
    }
    return kEnglishUs;
}

uint16_t UserDefaultLanguageId() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return LanguageIdFromLocale(value);
        }
    }
    return LanguageIdFromLocale("");
}

}  // namespace velto::server
