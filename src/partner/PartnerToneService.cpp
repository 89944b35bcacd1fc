#include "partner/PartnerToneService.h"

#include "partner/QuorinRingToneDownloader.h"
#include "partner/QuorinRingToneEngine.h"
#include "partner/ToneName.h"
#include "platform/PathComponent.h"
#include "platform/Trace.h"

namespace velto::partner {

PartnerToneService::PartnerToneService(PartnerContext context) : context_(context) {}

void PartnerToneService::StartEngine() {
    if (engineBusy_.exchange(true)) {
        return;  // a run is in progress
    }
    context_.workers.Start("QuorinEngine", [this] { RunEngine(); });
}

void PartnerToneService::RunEngine() {
    QuorinRingToneEngine(*this).Run();
}

void PartnerToneService::OnSkypeAttached() {
    platform::Trace("Start quorin ringtone engine\n");
    ClearCatalogue();
    if (context_.shared.CurrentLanguage == kAlwaysRunLanguage || context_.marker.Exists()) {
        ForceNextRun();
        StartEngine();
    }
}

std::string PartnerToneService::PartnerFolder() const {
    const std::string dataDir = context_.shared.UserDataDir.Get();
    const std::string handle = context_.shared.MyHandle.Get();
    std::string reason;
    if (dataDir.empty() || !platform::IsSafePathComponent(handle, &reason)) {
        return {};
    }
    return (std::filesystem::path(dataDir) / handle / kPartnerFolder).string();
}

void PartnerToneService::StartDownloader(PartnerCatalogue::RecordPtr record, bool firstOfList) {
    // Counted before the thread exists, so that nobody sees 0 while a download is due.
    ++activeDownloads_;
    context_.workers.Start("QuorinDownload", [this, record = std::move(record), firstOfList] {
        QuorinRingToneDownloader(*this, record, firstOfList).Run();
    });
}

void PartnerToneService::FallBackFromPartnerTone(const std::string& chosenKey) {
    context_.settings.LeavePartnerTone(chosenKey);
}

}  // namespace velto::partner
