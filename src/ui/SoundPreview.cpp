#include "ui/SoundPreview.h"

#include "app/Application.h"
#include "core/Messages.h"
#include "ui/Artwork.h"
#include "ui/Texts.h"

namespace velto::ui {
namespace {}

CxSkinButton::Skin PlayButtonSkin(bool stop, int size) {
    const QString artwork = stop ? QStringLiteral("btn_stop") : QStringLiteral("btn_play");
    CxSkinButton::Skin skin;
    skin.normal = ArtworkPixmap(artwork, QSize(size, size));
    skin.hover = ArtworkPixmap(artwork + QStringLiteral("_hi"), QSize(size, size));
    skin.pressed = skin.hover;
    skin.disabled = ArtworkPixmap(QStringLiteral("btn_play_off"), QSize(size, size));
    return skin;
}

SoundPreview::SoundPreview(app::Application& app)
    : app_(app),
      target_(app.windows(), app.loop(), {},
              [this](uint32_t message, platform::WParam wParam, platform::LParam) {
                  // One report per Play: a later press has already taken the button over.
                  if (message == core::WM_SOUND_FINISHED && static_cast<int>(wParam) == playing_) {
                      ShowPlaying(playing_, false);
                      playing_ = 0;
                  }
                  return platform::LResult{0};
              }) {}

SoundPreview::~SoundPreview() {
    target_.Destroy();
    if (playing_ != 0) {
        app_.soundPlayer().Stop();
    }
}

CxSkinButton* SoundPreview::AddButton(QWidget* parent, int id) {
    auto* button = new CxSkinButton(parent);
    button->SetSkin(PlayButtonSkin(false, kPlayButtonSize));
    button->setFixedSize(kPlayButtonSize, kPlayButtonSize);
    // An icon-only button: screen readers say "Play".
    button->setAccessibleName(Text(i18n::TXT_PLAY, ShownLanguage(app_.state())));
    buttons_[id] = button;
    return button;
}

void SoundPreview::RemoveButton(int id) {
    buttons_.erase(id);
    if (playing_ == id) {
        playing_ = 0;
        app_.soundPlayer().Stop();
    }
}

void SoundPreview::Press(int id, const std::filesystem::path& file) {
    if (playing_ == id) {
        app_.soundPlayer().Stop();
        return;
    }
    if (playing_ != 0) {
        ShowPlaying(playing_, false);
    }
    playing_ = id;
    ShowPlaying(id, true);
    app_.soundPlayer().Play(file, target_.handle(), static_cast<uint32_t>(id));
}

void SoundPreview::ShowPlaying(int id, bool playing) {
    const auto found = buttons_.find(id);
    if (found != buttons_.end()) {
        found->second->SetSkin(PlayButtonSkin(playing, kPlayButtonSize));
    }
}

}  // namespace velto::ui
