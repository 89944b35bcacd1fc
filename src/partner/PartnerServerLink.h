#pragma once

#include <functional>

#include "partner/PartnerServices.h"
#include "server/ServerCommunication.h"
#include "server/ServerCommunicationInstance.h"

namespace velto::partner {

// The partner service's questions and reports, sent over the program's one server link.
class PartnerServerLink final : public PartnerServer {
  public:
    explicit PartnerServerLink(server::ServerCommunication& link);
    // The link is created on first use, as every other user of it does.
    explicit PartnerServerLink(server::ServerCommunicationInstance& instance);

    // Anything but a well-formed answer in time (timed out, link failure, refused answer)
    // is NoAnswer. Entries the server link refused one by one are traced and left out.
    QueryResult QueryPartnerTones(const std::string& handle, platform::Millis wait) override;
    void ReportDownload(bool ok, const std::string& key, const std::string& handle,
                        const std::string& remoteName) override;

  private:
    std::function<server::ServerCommunication&()> link_;
};

}  // namespace velto::partner
