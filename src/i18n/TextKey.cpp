#include "i18n/TextKey.h"

#include <array>

namespace velto::i18n {
namespace {

#define VELTO_TEXT_KEY_NAME(name) #name,
constexpr std::array<std::string_view, kTextKeyCount> kNames = {
    VELTO_TEXT_KEYS(VELTO_TEXT_KEY_NAME)};
#undef VELTO_TEXT_KEY_NAME

}  // namespace

std::string_view TextKeyName(TextKey key) {
    return IsTextKey(key) ? kNames[key] : std::string_view();
}

}  // namespace velto::i18n
