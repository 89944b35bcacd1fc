#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velto::server {

// Request codes: the first byte of every request.
enum class MessageCode : uint8_t {
    PARTNER_TONE_QUERY = 0x03,
    PARTNER_DOWNLOAD_FAILED = 0x05,
    FIRST_RUN_REPORT = 0x06,
    PARTNER_DOWNLOAD_OK = 0x07,
};

// How long the requesters wait for an answer; the download reports wait without limit.
inline constexpr int kFirstRunReportWaitMs = 10000;
inline constexpr int kPartnerToneQueryWaitMs = 10000;

inline constexpr const char* kProgramVersion = "1.2_m";

struct FirstRunReport {
    std::string handle;  // the signed-in user's Skype handle
    std::string programVersion = kProgramVersion;
    std::string systemDescription;  // see SystemDescription.h
    uint16_t languageId = 0;        // the user's default language identifier
    std::string skypeVersion;       // as Skype reports it
};

// Payloads: the code byte, then each text followed by a zero byte. A text is cut at its
// first zero byte, as the server reads it. The link refuses payloads above its limit.
std::vector<uint8_t> BuildFirstRunReport(const FirstRunReport& report);
std::vector<uint8_t> BuildPartnerToneQuery(std::string_view handle);
// `ok` picks PARTNER_DOWNLOAD_OK, otherwise PARTNER_DOWNLOAD_FAILED.
std::vector<uint8_t> BuildPartnerDownloadReport(bool ok, std::string_view toneKey,
                                                std::string_view handle,
                                                std::string_view remoteFileName);

}  // namespace velto::server
