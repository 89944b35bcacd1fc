#pragma once

#include "partner/HttpFetcher.h"
#include "platform/Clock.h"

namespace velto::partner {

// HTTP downloads over libcurl: resume by a Range request, proxies from the environment as
// libcurl reads them (http_proxy, https_proxy, no_proxy...), http and https only (also
// after redirects), read blocks of 32768 bytes. A transfer that receives nothing for
// the stall limit (kStallLimit unless given) of clock time is stopped.
class CurlFetcher final : public HttpFetcher {
  public:
    static constexpr platform::Millis kStallLimit{60'000};
    static constexpr long kReadBlock = 32768;

    explicit CurlFetcher(platform::Clock& clock, platform::Millis stallLimit = kStallLimit);

    bool Fetch(const std::string& address, uint64_t offset, HttpSink& sink,
               std::string& error) override;

  private:
    platform::Clock& clock_;
    platform::Millis stallLimit_;
};

}  // namespace velto::partner
