#include "ui/MessagePlayer.h"

#include "app/Application.h"
#include "core/Messages.h"

namespace velto::ui {

MessagePlayer::MessagePlayer(app::Application& app, Changed changed)
    : app_(app),
      changed_(std::move(changed)),
      target_(app.windows(), app.loop(), {},
              [this](uint32_t message, platform::WParam wParam, platform::LParam) {
                  if (message == core::WM_SOUND_FINISHED && serial_ != 0 &&
                      static_cast<uint32_t>(wParam) == serial_) {
                      const int id = playing_;
                      serial_ = 0;
                      playing_ = 0;
                      if (const auto found = messages_.find(id); found != messages_.end()) {
                          found->second.position.Finished();
                          changed_(id);
                      }
                  }
                  return platform::LResult{0};
              }) {}

MessagePlayer::~MessagePlayer() {
    target_.Destroy();
    if (playing_ != 0) {
        app_.soundPlayer().Stop();
    }
}

void MessagePlayer::Add(int id, std::filesystem::path file, uint32_t totalMs) {
    messages_.insert_or_assign(id, Message{std::move(file), MessagePosition(totalMs)});
}

void MessagePlayer::Remove(int id) {
    if (playing_ == id) {
        PauseCurrent();
    }
    messages_.erase(id);
}

void MessagePlayer::Toggle(int id) {
    const auto found = messages_.find(id);
    if (found == messages_.end()) {
        return;
    }
    if (playing_ == id) {
        PauseCurrent();
        changed_(id);
        return;
    }
    if (playing_ != 0) {
        const int other = playing_;
        PauseCurrent();
        changed_(other);
    }
    Start(id, found->second.position.Play(app_.clock().Now()));
    changed_(id);
}

void MessagePlayer::Seek(int id, uint32_t ms) {
    const auto found = messages_.find(id);
    if (found == messages_.end()) {
        return;
    }
    const uint32_t from = found->second.position.Seek(ms, app_.clock().Now());
    if (playing_ == id) {
        Start(id, from);
    }
    changed_(id);
}

const MessagePosition* MessagePlayer::position(int id) const {
    const auto found = messages_.find(id);
    return found == messages_.end() ? nullptr : &found->second.position;
}

uint32_t MessagePlayer::ElapsedMs(int id) const {
    const MessagePosition* at = position(id);
    return at == nullptr ? 0 : at->ElapsedMs(app_.clock().Now());
}

void MessagePlayer::PauseCurrent() {
    const auto found = messages_.find(playing_);
    if (found != messages_.end()) {
        found->second.position.Pause(app_.clock().Now());
    }
    // The stop's own end report carries the old serial and is not taken for an end.
    serial_ = 0;
    playing_ = 0;
    app_.soundPlayer().Stop();
}

void MessagePlayer::Start(int id, uint32_t fromMs) {
    playing_ = id;
    serial_ = nextSerial_++;
    app_.soundPlayer().Play(messages_.at(id).file, target_.handle(), serial_, fromMs);
}

}  // namespace velto::ui
