#pragma once

#include <QString>
#include <filesystem>
#include <map>

#include "ui/CxSkinButton.h"
#include "ui/WindowTarget.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// The play buttons of one window: a press plays its file through the sound player (or
// stops it while it plays); the button shows the stop image until the player reports the
// end. The button's id is the value the report carries.
class SoundPreview {
  public:
    explicit SoundPreview(app::Application& app);
    // Stops what this window plays.
    ~SoundPreview();
    SoundPreview(const SoundPreview&) = delete;
    SoundPreview& operator=(const SoundPreview&) = delete;

    // A play button with id `id` (a child of `parent`).
    CxSkinButton* AddButton(QWidget* parent, int id);
    // The button goes (its window is about to be deleted); stops it when it plays.
    void RemoveButton(int id);
    // The press of button `id`: plays `file`, or stops when that button plays.
    void Press(int id, const std::filesystem::path& file);
    // The id of the button that plays, or 0.
    int playing() const { return playing_; }

  private:
    void ShowPlaying(int id, bool playing);

    app::Application& app_;
    std::map<int, CxSkinButton*> buttons_;
    int playing_ = 0;
    WindowTarget target_;
};

// The side of a play (or stop) button, in pixels.
inline constexpr int kPlayButtonSize = 22;

// The skin of a play (or stop) button.
CxSkinButton::Skin PlayButtonSkin(bool stop, int size);

}  // namespace velto::ui
