#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/SettingFileStore.h"

namespace velto::ui {

// A tone the user picked in an open dialog: the conversion has entered it into the
// catalogue, but it belongs to the dialog until OK. A second pick replaces the first, and
// Cancel leaves nothing behind.
class PickedTone {
  public:
    explicit PickedTone(core::SettingFileStore& settingFile) : settingFile_(settingFile) {}
    ~PickedTone() = default;
    PickedTone(const PickedTone&) = delete;
    PickedTone& operator=(const PickedTone&) = delete;

    // The new pick; an earlier one is removed from the catalogue with its file.
    void Replace(int32_t itemId);
    // Removes the pick from the catalogue with its file.
    void Discard();
    // The pick now belongs to whoever took it; the tone stays in the catalogue.
    std::optional<int32_t> Release();

    std::optional<int32_t> id() const { return id_; }
    // The picked tone's file, or nothing.
    std::optional<std::filesystem::path> Path(const core::UserSettings& settings) const;

  private:
    core::SettingFileStore& settingFile_;
    std::optional<int32_t> id_;
};

// Puts a copy of `source` in place of `target` so that a reader sees either the old file or
// the whole new one (a call may be playing it). False, with a trace, when that failed.
bool CopyToneOver(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace velto::ui
