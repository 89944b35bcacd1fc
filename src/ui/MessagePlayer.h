#pragma once

#include <filesystem>
#include <functional>
#include <map>

#include "ui/WindowTarget.h"
#include "ui/model/MessagePosition.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// The voice messages of one window, played one at a time through the program's sound
// player: play, pause (the point reached is kept) and seek. Positions come from the clock;
// the player's end report stops a message that ran to its end. Nothing here waits for the
// sound.
class MessagePlayer {
  public:
    // Told after a message's state or position changed by a press or an end report.
    using Changed = std::function<void(int id)>;

    MessagePlayer(app::Application& app, Changed changed);
    // Stops what plays.
    ~MessagePlayer();
    MessagePlayer(const MessagePlayer&) = delete;
    MessagePlayer& operator=(const MessagePlayer&) = delete;

    void Add(int id, std::filesystem::path file, uint32_t totalMs);
    // Stops the message when it plays.
    void Remove(int id);
    // Plays a message that does not play (another one pauses), pauses one that plays.
    void Toggle(int id);
    // Moves the message to `ms`; a playing one goes on from there.
    void Seek(int id, uint32_t ms);

    // The message that plays, or 0.
    int playing() const { return playing_; }
    // Null for an id not added.
    const MessagePosition* position(int id) const;
    uint32_t ElapsedMs(int id) const;

  private:
    struct Message {
        std::filesystem::path file;
        MessagePosition position;
    };
    void PauseCurrent();
    void Start(int id, uint32_t fromMs);

    app::Application& app_;
    Changed changed_;
    std::map<int, Message> messages_;
    int playing_ = 0;
    // The value the player's end report carries for the current sound; a report of an
    // earlier one (paused, or replaced) is not an end.
    uint32_t serial_ = 0;
    uint32_t nextSerial_ = 1;
    WindowTarget target_;
};

}  // namespace velto::ui
