#include "ui/WebPages.h"

#include "app/Application.h"
#include "i18n/Languages.h"
#include "server/ServerAddress.h"
#include "ui/Texts.h"

namespace velto::ui {

std::string WebPageAddress(app::Application& app, std::string_view path) {
    return "http://" + app.serverLink().settings().host + ":" +
           std::to_string(server::kServerWebPort) + std::string(path) +
           std::string(i18n::LanguageCode(ShownLanguage(app.state())));
}

}  // namespace velto::ui
