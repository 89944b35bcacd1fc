#include "ui/FrontEndVerbs.h"

#include "ui/DialogDriver.h"
#include "ui/ForTestDialog.h"
#include "ui/PartnerList.h"
#include "ui/QtFrontEnd.h"

namespace velto::ui {

bool DriveFrontEnd(QtFrontEnd* shown, const std::filesystem::path& scenarioDir,
                   const std::string& verb, std::vector<std::string> args, std::string& why) {
    if (shown == nullptr || shown->application() == nullptr || shown->mainWindow() == nullptr) {
        why = "no windows to drive";
        return false;
    }
    if (verb == "pick" && !args.empty() && std::filesystem::path(args[0]).is_relative()) {
        args[0] = (scenarioDir / args[0]).string();
    }
    DialogDriver driver(
        *shown->application(),
        [shown] {
            return qobject_cast<PartnerList*>(shown->mainWindow()->contactListSlot()->content());
        },
        [shown] { return static_cast<QWidget*>(shown->mainWindow()); }, &DialogDriver::PumpUntil);
    return driver.Run(verb, args, why);
}

}  // namespace velto::ui
