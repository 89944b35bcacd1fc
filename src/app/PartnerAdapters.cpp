#include "app/PartnerAdapters.h"

#include "audio/TelephoneRateConverter.h"
#include "core/RegistrySettings.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "server/PartnerToneAnswer.h"
#include "server/ServerMessages.h"

namespace velto::app {

using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

partner::PartnerServer::QueryResult LinkPartnerServer::QueryPartnerTones(const std::string& handle,
                                                                         platform::Millis wait) {
    QueryResult result;
    const auto reply = link_.Instance().Exchange(server::BuildPartnerToneQuery(handle), wait);
    if (reply.outcome != server::ServerRequest::Outcome::Answered) {
        return result;
    }
    const server::PartnerToneAnswer answer = server::ParsePartnerToneAnswer(reply.answer);
    if (!answer.valid) {
        platform::Trace("Partner tone answer refused: %s\n", answer.error.c_str());
        return result;
    }
    if (!answer.ownsTones) {
        result.outcome = QueryResult::Outcome::NoTones;
        return result;
    }
    result.outcome = QueryResult::Outcome::Tones;
    for (const auto& entry : answer.entries) {
        result.entries.push_back(
            {entry.toneKey, entry.remoteFileName, entry.addressPrefix, entry.title, entry.extra});
    }
    return result;
}

void LinkPartnerServer::ReportDownload(bool ok, const std::string& key, const std::string& handle,
                                       const std::string& remoteName) {
    link_.Instance().Exchange(server::BuildPartnerDownloadReport(ok, key, handle, remoteName));
}

int32_t StorePartnerSettings::StandardTone() const {
    return settings_.StandardTone();
}

void StorePartnerSettings::SetStandardTone(int32_t setting) {
    settings_.SetStandardTone(setting);
}

bool StorePartnerSettings::HasOwnStandardTone() const {
    return !settings_.OwnToneSource().empty();
}

std::string StorePartnerSettings::ChosenPartnerKey() const {
    return Utf16ToUtf8(settings_.PartnerToneKey());
}

void StorePartnerSettings::ChoosePartnerTone(const std::string& key) {
    settings_.SetPartnerToneKey(Utf8ToUtf16(key));
    settings_.SetStandardTone(2);
}

std::optional<int32_t> StorePartnerSettings::FindCatalogueTone(const std::string& title,
                                                               const std::string& path) const {
    const std::u16string wideTitle = Utf8ToUtf16(title);
    const std::u16string widePath = Utf8ToUtf16(path);
    for (const auto& [id, tone] : settings_.Catalogue()) {
        if (tone.title == wideTitle && tone.path == widePath) {
            return id;
        }
    }
    return std::nullopt;
}

int32_t StorePartnerSettings::AddCatalogueTone(const std::string& title, const std::string& path) {
    const auto id = store_.AddCatalogueTone(Utf8ToUtf16(title), Utf8ToUtf16(path));
    if (!id) {
        platform::Trace("Partner tone %s: no catalogue id left\n", title.c_str());
        return core::kDefaultToneId;
    }
    return *id;
}

bool RegistryPartnerMarker::Exists() const {
    platform::RegValue value;
    return registry_.Query(platform::RegRoot::CurrentUser, core::kVeltoKey, "HasQuorinRingTone",
                           value) == platform::RegError::Ok;
}

long RegistryPartnerMarker::Set() {
    return static_cast<long>(registry_.SetDword(platform::RegRoot::CurrentUser, core::kVeltoKey,
                                                "HasQuorinRingTone", core::kOn));
}

bool TelephoneRateToneConverter::Convert(const std::filesystem::path& from,
                                         const std::filesystem::path& to) {
    return audio::ConvertToTelephoneRate(from, to).Usable();
}

}  // namespace velto::app
