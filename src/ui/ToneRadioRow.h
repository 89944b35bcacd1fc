#pragma once

#include <functional>

#include "ui/SoundPreview.h"

class QButtonGroup;
class QGridLayout;

namespace velto::ui {

// One choice of a tone page: a radio button (in `group` as `radioId`) in column 0 of row
// `row` of `grid`, and beside it the play button `playId` of `preview`, whose click calls
// `press` with `playId`. Returns the play button.
CxSkinButton* AddToneRadioRow(QGridLayout& grid, int row, QButtonGroup& group, int radioId,
                              SoundPreview& preview, int playId,
                              const std::function<void(int)>& press);

}  // namespace velto::ui
