#include "server/ServerMessages.h"

namespace velto::server {

namespace {

class PayloadWriter {
  public:
    explicit PayloadWriter(MessageCode code) { bytes_.push_back(static_cast<uint8_t>(code)); }
    PayloadWriter& Text(std::string_view text) {
        text = text.substr(0, text.find('\0'));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
        return *this;
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> BuildFirstRunReport(const FirstRunReport& report) {
    return PayloadWriter(MessageCode::FIRST_RUN_REPORT)
        .Text(report.handle)
        .Text(report.programVersion)
        .Text(report.systemDescription)
        .Text(std::to_string(report.languageId))
        .Text(report.skypeVersion)
        .Take();
}

std::vector<uint8_t> BuildPartnerToneQuery(std::string_view handle) {
    return PayloadWriter(MessageCode::PARTNER_TONE_QUERY).Text(handle).Take();
}

std::vector<uint8_t> BuildPartnerDownloadReport(bool ok, std::string_view toneKey,
                                                std::string_view handle,
                                                std::string_view remoteFileName) {
    return PayloadWriter(ok ? MessageCode::PARTNER_DOWNLOAD_OK
                            : MessageCode::PARTNER_DOWNLOAD_FAILED)
        .Text(toneKey)
        .Text(handle)
        .Text(remoteFileName)
        .Take();
}

}  // namespace velto::server
