#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velto::i18n {

// What the first-run language dialog shows and does, without any toolkit: a drop-down of
// the fifteen display names, English first, then simplified Chinese, traditional Chinese,
// German, then Spanish to Swedish in index order. The dialog only draws this model and
// forwards selection changes to it.
class LanguageSelectionModel {
  public:
    // The dialog's fixed caption; it is not translated.
    static constexpr std::string_view kCaption = "Please choose your language!";

    // The language shown at list position `position`; -1 for a position outside the list.
    static int32_t LanguageAt(int position);
    // The list position of `language`; -1 for anything but 0..14.
    static int PositionOf(int32_t language);
    // The display names in list order.
    static std::vector<std::u16string> Items();

    // A new model is open: position 0 selected and English chosen.
    LanguageSelectionModel() { Open(); }

    // Opening selects position 0 and makes English the chosen language.
    void Open();
    // A change of selection chooses its language at once. A position outside the list is
    // refused (false) and changes nothing.
    bool Select(int position);

    int SelectedPosition() const { return selected_; }
    // The language chosen so far; closing the dialog in any way keeps it.
    int32_t ChosenLanguage() const { return LanguageAt(selected_); }

  private:
    int selected_ = 0;
};

}  // namespace velto::i18n
