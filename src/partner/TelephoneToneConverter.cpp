#include "partner/TelephoneToneConverter.h"

#include "audio/TelephoneRateConverter.h"
#include "platform/Trace.h"

namespace velto::partner {

bool TelephoneToneConverter::Convert(const std::filesystem::path& from,
                                     const std::filesystem::path& to) {
    const audio::TelephoneRateResult result = audio::ConvertToTelephoneRate(from, to);
    if (!result.Usable()) {
        platform::Trace("Quorin download: conversion status %d, %llu samples\n",
                        static_cast<int>(result.status),
                        static_cast<unsigned long long>(result.samples));
    }
    return result.Usable();
}

}  // namespace velto::partner
