#include "skype/VersionCheck.h"

namespace velto::skype {

bool IsSkypeTooOld(std::string_view version) {
    int major = 0;
    size_t digits = 0;
    for (char c : version) {
        if (c < '0' || c > '9') {
            break;
        }
        if (major >= kOldestSkypeMajor) {
            return false;  // already new enough; more digits only make it larger
        }
        major = major * 10 + (c - '0');
        ++digits;
    }
    return digits > 0 && major < kOldestSkypeMajor;
}

}  // namespace velto::skype
