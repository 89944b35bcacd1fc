#pragma once

namespace velto::app {
class Application;
}

namespace velto::ui {

class GreetingPicker;

// Where the greeting recorder joins every greeting choice (a contact's, the busy one): it
// gives `picker` the recorder (GreetingPicker::SetRecorder), which shows its "Record..."
// button. With none given the button stays hidden.
void PlugGreetingRecorder(app::Application& app, GreetingPicker& picker);

}  // namespace velto::ui
