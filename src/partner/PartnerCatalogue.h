#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "partner/PartnerTone.h"
#include "platform/Clock.h"

namespace velto::partner {

// The partner tone catalogue: tone key -> shared record, under one mutex, with the time
// of the latest engine run (guarded by the same mutex) and the records whose downloader
// is still running, so that a refilled catalogue hands a running download its own record
// back instead of starting a second writer of the same files.
class PartnerCatalogue {
  public:
    using RecordPtr = std::shared_ptr<PartnerToneRecord>;

    std::unique_lock<std::mutex> Lock() const { return std::unique_lock(mutex_); }

    // The calls below take the lock themselves.
    bool Find(const std::string& key, PartnerTone& out) const;
    bool HasAny() const;
    std::vector<PartnerTone> Snapshot() const;
    // Empties the catalogue and forgets the last run.
    void Clear();
    void ResetInterval();

    // The calls below expect the lock to be held by the caller.
    RecordPtr FindLocked(const std::string& key) const;
    void InsertLocked(RecordPtr record);
    void ClearLocked() { records_.clear(); }
    bool EmptyLocked() const { return records_.empty(); }
    void MarkAllStaleLocked();
    std::optional<platform::Millis> LastRunLocked() const { return lastRun_; }
    void SetLastRunLocked(std::optional<platform::Millis> when) { lastRun_ = when; }
    // The record a running downloader holds for `key`, if any.
    RecordPtr InFlightLocked(const std::string& key) const;
    void SetInFlightLocked(const RecordPtr& record);
    void EndInFlightLocked(const RecordPtr& record);

  private:
    mutable std::mutex mutex_;
    std::map<std::string, RecordPtr> records_;
    std::map<std::string, std::weak_ptr<PartnerToneRecord>> inFlight_;
    std::optional<platform::Millis> lastRun_;
};

}  // namespace velto::partner
