#pragma once

#include <string>
#include <string_view>

namespace velto::app {
class Application;
}

namespace velto::ui {

// The communication server's web page at `path` (ending in "?lang="), followed by the code
// of the language the windows speak; empty when the front end shows no web pages.
std::string WebPageAddress(app::Application& app, std::string_view path);

}  // namespace velto::ui
