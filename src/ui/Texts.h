#pragma once

#include <QString>

#include "core/SharedState.h"
#include "i18n/LanguageTable.h"

namespace velto::ui {

// A text of the language table as Qt shows it.
inline QString Text(i18n::TextKey key, int32_t language) {
    return QString::fromStdU16String(i18n::GetText(key, language));
}

// The language the windows speak: the current one, or the stored default while none is
// current yet.
inline int32_t ShownLanguage(const core::SharedState& state) {
    const int32_t current = state.CurrentLanguage;
    return current == -1 ? state.DefaultLanguageIndex.load() : current;
}

}  // namespace velto::ui
