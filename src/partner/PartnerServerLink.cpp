#include "partner/PartnerServerLink.h"

#include "platform/Trace.h"
#include "server/PartnerToneAnswer.h"
#include "server/ServerMessages.h"

namespace velto::partner {

using platform::Trace;
using server::ServerRequest;

PartnerServerLink::PartnerServerLink(server::ServerCommunication& link)
    : link_([&link]() -> server::ServerCommunication& { return link; }) {}

PartnerServerLink::PartnerServerLink(server::ServerCommunicationInstance& instance)
    : link_([&instance]() -> server::ServerCommunication& { return instance.Instance(); }) {}

PartnerServer::QueryResult PartnerServerLink::QueryPartnerTones(const std::string& handle,
                                                                platform::Millis wait) {
    QueryResult result;  // NoAnswer
    const auto reply = link_().Exchange(server::BuildPartnerToneQuery(handle), wait);
    if (reply.outcome != ServerRequest::Outcome::Answered) {
        Trace("Quorin engine: no answer to the tone query (%s)\n",
              reply.outcome == ServerRequest::Outcome::TimedOut ? "timed out" : "link failed");
        return result;
    }
    server::PartnerToneAnswer parsed = server::ParsePartnerToneAnswer(reply.answer);
    if (!parsed.valid) {
        Trace("Quorin engine: refused answer: %s\n", parsed.error.c_str());
        return result;
    }
    for (const std::string& refusal : parsed.refused) {
        Trace("Quorin engine: %s\n", refusal.c_str());
    }
    result.outcome = parsed.ownsTones ? QueryResult::Outcome::Tones : QueryResult::Outcome::NoTones;
    result.entries.reserve(parsed.entries.size());
    for (auto& entry : parsed.entries) {
        result.entries.push_back(PartnerToneEntry{
            std::move(entry.toneKey), std::move(entry.remoteFileName),
            std::move(entry.addressPrefix), std::move(entry.title), std::move(entry.extra)});
    }
    return result;
}

void PartnerServerLink::ReportDownload(bool ok, const std::string& key, const std::string& handle,
                                       const std::string& remoteName) {
    // Waits for the answer without limit; only a stopped link ends the wait early.
    const auto reply =
        link_().Exchange(server::BuildPartnerDownloadReport(ok, key, handle, remoteName));
    if (reply.outcome != ServerRequest::Outcome::Answered) {
        Trace("Quorin download: report for %s not delivered\n", key.c_str());
    }
}

}  // namespace velto::partner
