#include "partner/PartnerCatalogue.h"

namespace velto::partner {

bool PartnerCatalogue::Find(const std::string& key, PartnerTone& out) const {
    std::lock_guard guard(mutex_);
    const auto it = records_.find(key);
    if (it == records_.end()) {
        return false;
    }
    out = it->second->Snapshot();
    return true;
}

bool PartnerCatalogue::HasAny() const {
    std::lock_guard guard(mutex_);
    return !records_.empty();
}

std::vector<PartnerTone> PartnerCatalogue::Snapshot() const {
    std::lock_guard guard(mutex_);
    std::vector<PartnerTone> tones;
    tones.reserve(records_.size());
    for (const auto& [key, record] : records_) {
        tones.push_back(record->Snapshot());
    }
    return tones;
}

void PartnerCatalogue::Clear() {
    std::lock_guard guard(mutex_);
    lastRun_.reset();
    records_.clear();
}

void PartnerCatalogue::ResetInterval() {
    std::lock_guard guard(mutex_);
    lastRun_.reset();
}

PartnerCatalogue::RecordPtr PartnerCatalogue::FindLocked(const std::string& key) const {
    const auto it = records_.find(key);
    return it == records_.end() ? nullptr : it->second;
}

void PartnerCatalogue::InsertLocked(RecordPtr record) {
    std::string key = record->key;
    records_[std::move(key)] = std::move(record);
}

void PartnerCatalogue::MarkAllStaleLocked() {
    for (auto& [key, record] : records_) {
        record->stale = true;
    }
}

PartnerCatalogue::RecordPtr PartnerCatalogue::InFlightLocked(const std::string& key) const {
    const auto it = inFlight_.find(key);
    return it == inFlight_.end() ? nullptr : it->second.lock();
}

void PartnerCatalogue::SetInFlightLocked(const RecordPtr& record) {
    inFlight_[record->key] = record;
}

void PartnerCatalogue::EndInFlightLocked(const RecordPtr& record) {
    const auto it = inFlight_.find(record->key);
    if (it != inFlight_.end() && it->second.lock() == record) {
        inFlight_.erase(it);
    }
}

}  // namespace velto::partner
