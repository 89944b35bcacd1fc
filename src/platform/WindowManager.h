#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "platform/MessageLoop.h"

namespace velto::platform {

// Opaque window handle; 0 is "no window".
using WindowHandle = uint32_t;
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

// Anything that receives window messages: a window of the GUI, or the headless front end.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual LResult OnMessage(uint32_t message, WParam wParam, LParam lParam) = 0;
};

// Handles for message targets, each living on one message loop. Workers reach windows only
// through Post and Send.
class WindowManager {
  public:
    // The target must outlive its handle (Destroy it first).
    WindowHandle Create(MessageLoop& loop, MessageTarget& target, std::string title = {});
    void Destroy(WindowHandle window);
    bool IsWindow(WindowHandle window) const;
    // First window with exactly this title, or 0.
    WindowHandle FindWindow(const std::string& title) const;
    void SetTitle(WindowHandle window, std::string title);

    // Queues the message on the window's loop; false when there is no such window or its
    // loop has quit.
    bool PostMessage(WindowHandle window, uint32_t message, WParam wParam = 0, LParam lParam = 0);
    // Runs the handler on the window's loop and waits for its result (directly when called
    // on that loop's thread). Returns 0 when the window is gone or its loop ends first.
    LResult SendMessage(WindowHandle window, uint32_t message, WParam wParam = 0,
                        LParam lParam = 0);

  private:
    struct Window {
        MessageLoop* loop;
        MessageTarget* target;
        std::string title;
    };
    // Delivers to the target if the window still exists when the loop gets to it.
    LResult Deliver(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);

    mutable std::mutex mutex_;
    WindowHandle next_ = 1;
    std::map<WindowHandle, Window> windows_;
};

}  // namespace velto::platform
