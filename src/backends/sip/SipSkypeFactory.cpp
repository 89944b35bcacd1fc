#include "backends/sip/SipSkypeFactory.h"

#include "backends/sip/SipObjects.h"

namespace velto::skype::sip {

std::shared_ptr<Skype> SipSkypeFactory::CreateSkype(platform::MessageLoop& loop) {
    auto lease = std::make_shared<ClientLease>(backend_, loop);
    std::weak_ptr<ClientLease> seen = lease;
    return std::make_shared<SipSkype>(backend_, std::move(lease), std::move(seen));
}

}  // namespace velto::skype::sip
