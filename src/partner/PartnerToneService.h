#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/SharedState.h"
#include "partner/HttpFetcher.h"
#include "partner/PartnerCatalogue.h"
#include "partner/PartnerServices.h"
#include "platform/Clock.h"
#include "platform/Workers.h"

namespace velto::partner {

constexpr platform::Millis kMinimumRunInterval{21'600'000};  // 6 hours
constexpr int32_t kAlwaysRunLanguage = 1;
constexpr platform::Millis kQueryWait{10'000};
constexpr int kDownloadAttempts = 5;
constexpr platform::Millis kPauseAfterFailedAttempt{10'000};
constexpr size_t kDownloadReadBlock = 32768;
constexpr uint64_t kMaxToneDownloadBytes = 64ull * 1024 * 1024;
constexpr const char* kPartnerFolder = "QuorinRingTone";

// Everything the partner service works with. All references must outlive the service,
// and the service must outlive the threads it starts through `workers`.
struct PartnerContext {
    platform::Clock& clock;
    platform::Workers& workers;
    core::SharedState& shared;
    PartnerServer& server;
    PartnerSettings& settings;
    PartnerMarker& marker;
    ToneConverter& converter;
    HttpFetcher& fetcher;
};

// The partner ring-tone service: the partner tone catalogue, the engine state and the
// entry points that the attachment handler, the call handler and the user interface use.
class PartnerToneService {
  public:
    explicit PartnerToneService(PartnerContext context);
    PartnerToneService(const PartnerToneService&) = delete;
    PartnerToneService& operator=(const PartnerToneService&) = delete;

    // Starts an engine run on its own thread unless one is running.
    void StartEngine();
    bool EngineRunning() const { return engineBusy_; }
    void ForceNextRun() { force_ = true; }
    void ResetInterval() { catalogue_.ResetInterval(); }
    void ClearCatalogue() { catalogue_.Clear(); }
    bool Find(const std::string& key, PartnerTone& out) const { return catalogue_.Find(key, out); }
    bool HasAnyTone() const { return catalogue_.HasAny(); }
    std::vector<PartnerTone> Tones() const { return catalogue_.Snapshot(); }
    int32_t ActiveDownloads() const { return activeDownloads_; }

    // The attachment handler's step when Skype grants access: empty the catalogue; when
    // the current language is 1 or the user is known to own partner tones, force a run
    // and start it.
    void OnSkypeAttached();

    // The engine run itself, on the calling thread (StartEngine runs it on a worker).
    // The caller must hold the engine token; the run gives it back.
    void RunEngine();

    // The folder of the user's partner tones, or empty when the user is not known.
    std::string PartnerFolder() const;

    PartnerCatalogue& catalogue() { return catalogue_; }
    const PartnerContext& context() const { return context_; }

  private:
    friend class QuorinRingToneEngine;
    friend class QuorinRingToneDownloader;

    void StartDownloader(PartnerCatalogue::RecordPtr record, bool firstOfList);
    void FallBackFromPartnerTone(const std::string& chosenKey);

    PartnerContext context_;
    PartnerCatalogue catalogue_;
    std::atomic<bool> force_{false};
    std::atomic<bool> engineBusy_{false};  // the engine token, taken while a run lasts
    std::atomic<int32_t> activeDownloads_{0};
};

}  // namespace velto::partner
