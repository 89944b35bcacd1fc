#pragma once

#include "partner/PartnerServices.h"

namespace velto::partner {

// Downloaded tones go through the same telephone-rate converter as the user's own files.
class TelephoneToneConverter final : public ToneConverter {
  public:
    // True only when the result has something to play.
    bool Convert(const std::filesystem::path& from, const std::filesystem::path& to) override;
};

}  // namespace velto::partner
