#pragma once

#include "calls/AnsweringPanel.h"
#include "i18n/LanguageChooser.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/UrlOpener.h"
#include "platform/WindowManager.h"

namespace velto::app {

class Application;

// Everything the program shows the user: the main window, message boxes, the first-start
// language question, the answering panels and the browser. The headless front end is the
// default; the desktop one lives in src/ui. The application asks for the services while it
// is being built, binds the front end once all its parts exist, and then creates, shows
// and destroys the main window at the steps of start-up and shut-down.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    // Used from the first steps of start-up on; any thread may show a box or open an
    // address, panels are made on call handlers' threads.
    virtual platform::MessageBoxes& boxes() = 0;
    virtual i18n::LanguageChooser& languageChooser() = 0;
    virtual calls::AnsweringPanels& answeringPanels() = 0;
    virtual platform::UrlOpener& urlOpener() = 0;

    // Called once, at the end of the application's construction (main thread).
    virtual void Bind(Application& application) = 0;

    // Start-up step 12: the main window, titled core::kMainWindowTitle; returns its handle.
    virtual platform::WindowHandle CreateMainWindow() = 0;
    // Step 15.
    virtual void ShowMainWindow(bool hidden) = 0;
    // The last step of the main window's destruction: its controls, then the window.
    virtual void DestroyMainWindow() = 0;

    // The main thread's message loop until `loop` quits. A core::ProcessExit raised by a
    // task passes through.
    virtual void Run(platform::MessageLoop& loop) = 0;
};

}  // namespace velto::app
