#include "ui/WebPages.h"

#include "app/Application.h"
#include "i18n/Languages.h"
#include "ui/QtFrontEnd.h"
#include "ui/Texts.h"

namespace velto::ui {

std::string WebPageAddress(app::Application& app, std::string_view path) {
    // The same server as the main window's panel; none when the front end fetches no pages.
    const auto* front = dynamic_cast<const QtFrontEnd*>(&app.frontEnd());
    if (front == nullptr || front->webBase().empty()) {
        return {};
    }
    return front->webBase() + std::string(path) +
           std::string(i18n::LanguageCode(ShownLanguage(app.state())));
}

}  // namespace velto::ui
