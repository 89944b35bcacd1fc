#pragma once

#include <memory>

#include "backends/sip/SipBackend.h"
#include "callapi/SkypeFactory.h"

namespace velto::skype::sip {

// Creates Skype objects on the SIP backend. The SIP stack starts with the first object
// and stops when the program lets the last one go.
class SipSkypeFactory final : public SkypeFactory {
  public:
    explicit SipSkypeFactory(SipBackendOptions options)
        : backend_(SipBackend::Create(std::move(options))) {}

    std::shared_ptr<Skype> CreateSkype(platform::MessageLoop& loop) override;
    const std::shared_ptr<SipBackend>& backend() const { return backend_; }

  private:
    std::shared_ptr<SipBackend> backend_;
};

}  // namespace velto::skype::sip
