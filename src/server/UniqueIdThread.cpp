#include "server/UniqueIdThread.h"

#include "callapi/AutomationError.h"
#include "callapi/Skype.h"
#include "platform/Com.h"
#include "platform/Trace.h"
#include "server/ServerMessages.h"
#include "server/SystemDescription.h"

namespace velto::server {

UniqueIdThread::SystemFacts UniqueIdThread::SystemFacts::FromThisSystem() {
    return {DescribeThisSystem(), UserDefaultLanguageId()};
}

bool UniqueIdThread::StartIfFirstRun(platform::Workers& workers, platform::InterfaceTable& table,
                                     core::SharedState& state, ServerCommunicationInstance& link,
                                     SystemFacts facts) {
    if (!state.FirstRun.load()) {
        return false;
    }
    const platform::Cookie skypeCookie = state.SkypeCookie.load();
    workers.Start("unique id", [&table, &link, skypeCookie, facts = std::move(facts)] {
        Run(table, skypeCookie, link, facts);
    });
    return true;
}

bool UniqueIdThread::Run(platform::InterfaceTable& table, platform::Cookie skypeCookie,
                         ServerCommunicationInstance& link, const SystemFacts& facts) {
    [[maybe_unused]] platform::ComApartment com;
    const auto skype = table.Get<skype::Skype>(skypeCookie);
    if (!skype) {
        platform::Trace("First run report: no Skype object for cookie %u\n", skypeCookie);
        return false;
    }
    if (!facts.description) {
        platform::Trace("First run report: the system version cannot be read, not sent\n");
        return false;
    }
    FirstRunReport report;
    try {
        report.handle = skype->CurrentUserHandle();
        report.skypeVersion = skype->Version();
    } catch (const skype::AutomationError& e) {
        platform::Trace("First run report: Skype error %u(%x)\n", e.unsignedCode(),
                        e.unsignedCode());
        return false;
    }
    report.systemDescription = *facts.description;
    report.languageId = facts.languageId;
    const auto reply = link.Instance().Exchange(BuildFirstRunReport(report),
                                                platform::Millis(kFirstRunReportWaitMs));
    return reply.outcome == ServerRequest::Outcome::Answered;
}

}  // namespace velto::server
