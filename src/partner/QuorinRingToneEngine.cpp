#include "partner/QuorinRingToneEngine.h"

#include <filesystem>

#include "partner/PartnerToneService.h"
#include "partner/ToneName.h"
#include "platform/PathComponent.h"
#include "platform/Trace.h"

namespace velto::partner {

using platform::Trace;

void QuorinRingToneEngine::Run() {
    struct GiveBackToken {
        std::atomic<bool>& busy;
        ~GiveBackToken() { busy = false; }
    } token{service_.engineBusy_};
    Work();
}

bool QuorinRingToneEngine::PassesGate() {
    if (service_.force_) {
        return true;
    }
    auto& ctx = service_.context_;
    std::optional<platform::Millis> lastRun;
    bool empty = true;
    {
        auto lock = service_.catalogue_.Lock();
        lastRun = service_.catalogue_.LastRunLocked();
        empty = service_.catalogue_.EmptyLocked();
    }
    if (lastRun && ctx.clock.Now() - *lastRun < kMinimumRunInterval) {
        return false;
    }
    return ctx.shared.CurrentLanguage == kAlwaysRunLanguage || !empty;
}

void QuorinRingToneEngine::Work() {
    if (!PassesGate()) {
        return;
    }
    auto& ctx = service_.context_;
    service_.force_ = false;
    {
        auto lock = service_.catalogue_.Lock();
        service_.catalogue_.SetLastRunLocked(ctx.clock.Now());
    }
    Trace("Enter the quorin engine core...\n");

    PartnerServer::QueryResult answer;  // NoAnswer unless asked
    const std::string handle = ctx.shared.MyHandle.Get();
    if (ctx.shared.SkypeAttached) {
        std::string reason;
        if (!platform::IsSafePathComponent(handle, &reason)) {
            Trace("Quorin engine: refused user handle (%s)\n", reason.c_str());
        } else {
            Trace("Enter the loop\n");
            Trace("Asking server...\n");
            // The catalogue stays readable during the wait: the server may take seconds and
            // call handlers look tones up meanwhile.
            answer = ctx.server.QueryPartnerTones(handle, kQueryWait);
            Trace("Asking over\n");
        }
    }
    TakeAnswer(answer);
}

void QuorinRingToneEngine::TakeAnswer(const PartnerServer::QueryResult& answer) {
    auto& ctx = service_.context_;
    using Outcome = PartnerServer::QueryResult::Outcome;
    if (answer.outcome != Outcome::Tones) {
        {
            auto lock = service_.catalogue_.Lock();
            service_.catalogue_.ClearLocked();
        }
        if (ctx.shared.SkypeAttached) {
            service_.FallBackFromPartnerTone(ctx.settings.ChosenPartnerKey());
        }
        return;
    }

    Trace("You have some QUORIN ringtones\n");
    if (const long error = ctx.marker.Set(); error == 0) {
        Trace("OK to set key value\n");
    } else {
        Trace("Fail to set key value %ld\n", error);
    }
    {
        auto lock = service_.catalogue_.Lock();
        service_.catalogue_.ClearLocked();
        service_.catalogue_.MarkAllStaleLocked();
    }

    bool first = true;
    for (const PartnerToneEntry& entry : answer.entries) {
        TakeEntry(entry, first);
        first = false;
    }
    // Read the chosen key only now: a quick download of the first tone may have chosen it
    // while the entries were being taken.
    const std::string chosen = ctx.settings.ChosenPartnerKey();
    bool chosenStillOwned = false;
    for (const PartnerToneEntry& entry : answer.entries) {
        chosenStillOwned = chosenStillOwned || entry.key == chosen;
    }
    if (!chosenStillOwned) {
        service_.FallBackFromPartnerTone(chosen);
    }
}

void QuorinRingToneEngine::TakeEntry(const PartnerToneEntry& entry, bool firstOfList) {
    auto& ctx = service_.context_;
    auto& catalogue = service_.catalogue_;
    std::string reason;
    if (!platform::IsSafePathComponent(entry.key, &reason)) {
        Trace("Quorin engine: refused tone key (%s)\n", reason.c_str());
        return;
    }
    if (!platform::IsSafePathComponent(entry.remoteName, &reason)) {
        Trace("Quorin engine: refused remote file name for %s (%s)\n", entry.key.c_str(),
              reason.c_str());
        return;
    }

    {
        auto lock = catalogue.Lock();
        if (auto record = catalogue.FindLocked(entry.key)) {
            record->stale = false;
            if (record->failed && !catalogue.InFlightLocked(entry.key)) {
                record->failed = false;
                catalogue.SetInFlightLocked(record);
                lock.unlock();
                service_.StartDownloader(record, firstOfList);
            }
            return;
        }
    }

    Trace("New ringtone name: %s\n", entry.remoteName.c_str());
    const std::string folder = service_.PartnerFolder();
    if (folder.empty()) {
        Trace("Quorin engine: no user folder for %s\n", entry.key.c_str());
        return;
    }
    const std::string localPath = (std::filesystem::path(folder) / entry.key).string();
    auto record = std::make_shared<PartnerToneRecord>(entry, localPath);

    std::error_code ec;
    if (std::filesystem::exists(localPath, ec)) {
        Trace("File Already Exist, test if it's legal\n");
        if (auto item = ctx.settings.FindCatalogueTone(entry.title, localPath)) {
            Trace("Legal existence, it's done, no need to download");
            record->downloaded = true;
            record->progress = 1.0;
            record->Touch(ctx.clock.Now());
            record->catalogueItem = *item;
            auto lock = catalogue.Lock();
            catalogue.InsertLocked(record);
            return;
        }
        Trace("illegal existence, redownload it\n");
    }

    {
        auto lock = catalogue.Lock();
        if (auto running = catalogue.InFlightLocked(entry.key)) {
            // Its downloader from an earlier run still writes these files: keep following
            // that download rather than start a second writer.
            catalogue.InsertLocked(running);
            return;
        }
        catalogue.InsertLocked(record);
        catalogue.SetInFlightLocked(record);
    }
    Trace("Start the downloading thread for %s\n", localPath.c_str());
    service_.StartDownloader(record, firstOfList);
    Trace("started!");
}

}  // namespace velto::partner
