#pragma once

#include "partner/PartnerServices.h"
#include "platform/Registry.h"

namespace velto::partner {

// "HasQuorinRingTone" under the user's Software\Velto key: set once the server says the
// user owns partner tones, so later attachments ask again whatever the language.
class RegistryPartnerMarker final : public PartnerMarker {
  public:
    static constexpr const char* kValueName = "HasQuorinRingTone";

    explicit RegistryPartnerMarker(platform::Registry& registry) : registry_(registry) {}

    // Present with any type of value.
    bool Exists() const override;
    // REG_DWORD 0xFFFFFFFF; the key is created when missing. 0 or the registry's error code.
    long Set() override;

  private:
    platform::Registry& registry_;
};

}  // namespace velto::partner
