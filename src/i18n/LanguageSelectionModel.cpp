#include "i18n/LanguageSelectionModel.h"

#include <array>

#include "i18n/Languages.h"

namespace velto::i18n {
namespace {

constexpr std::array<int32_t, kLanguageCount> kListOrder = {3, 0, 1,  2,  4,  5,  6, 7,
                                                            8, 9, 10, 11, 12, 13, 14};

}  // namespace

int32_t LanguageSelectionModel::LanguageAt(int position) {
    if (position < 0 || position >= kLanguageCount) {
        return kNoLanguage;
    }
    return kListOrder[position];
}

int LanguageSelectionModel::PositionOf(int32_t language) {
    for (int position = 0; position < kLanguageCount; ++position) {
        if (kListOrder[position] == language) {
            return position;
        }
    }
    return -1;
}

std::vector<std::u16string> LanguageSelectionModel::Items() {
    std::vector<std::u16string> items;
    for (int32_t language : kListOrder) {
        items.emplace_back(DisplayName(language));
    }
    return items;
}

void LanguageSelectionModel::Open() {
    selected_ = 0;
}

bool LanguageSelectionModel::Select(int position) {
    if (LanguageAt(position) == kNoLanguage) {
        return false;
    }
    selected_ = position;
    return true;
}

}  // namespace velto::i18n
