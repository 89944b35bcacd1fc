#include "ui/GreetingRecorderPlug.h"

#include "ui/GreetingPicker.h"
#include "ui/GreetingRecordDialog.h"

namespace velto::ui {

// The recording window, window-modal over the picker's window; the picker takes the take
// only once the window was accepted (saved).
void PlugGreetingRecorder(app::Application& app, GreetingPicker& picker) {
    picker.SetRecorder(
        [&app, &picker](const std::filesystem::path& target, std::function<void()> done) {
            auto* dialog = new GreetingRecordDialog(app, target, picker.window());
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            QObject::connect(dialog, &QDialog::accepted, &picker, std::move(done));
            dialog->open();
        });
}

}  // namespace velto::ui
