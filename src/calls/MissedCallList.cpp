#include "calls/MissedCallList.h"

#include <cstring>

#include "calls/MissedCallFile.h"
#include "core/BoundedFileRead.h"
#include "platform/AtomicFile.h"
#include "platform/FileLookup.h"
#include "platform/Trace.h"

namespace velto::calls {

MissedCallList::MissedCallList(FolderSource ownFolder) : ownFolder_(std::move(ownFolder)) {}

void MissedCallList::Add(MissedCall record) {
    std::lock_guard guard(mutex_);
    records_.push_back(std::move(record));
}

void MissedCallList::AddSaveAndFlag(MissedCall record) {
    Add(record);
    Save();
    SetNewMissedCall();
    std::lock_guard guard(listenerMutex_);
    if (listener_) {
        listener_(record);
    }
}

void MissedCallList::SetAddedListener(std::function<void(const MissedCall&)> listener) {
    std::lock_guard guard(listenerMutex_);
    listener_ = std::move(listener);
}

std::vector<MissedCall> MissedCallList::Snapshot() const {
    std::lock_guard guard(mutex_);
    return records_;
}

void MissedCallList::Replace(std::vector<MissedCall> records) {
    std::lock_guard guard(mutex_);
    records_ = std::move(records);
}

bool MissedCallList::AddOrComplete(MissedCall record) {
    std::lock_guard guard(mutex_);
    for (MissedCall& existing : records_) {
        if (existing.partnerHandle == record.partnerHandle && existing.time == record.time) {
            if (existing.hasVoiceMessage || !record.hasVoiceMessage) {
                return false;
            }
            existing.hasVoiceMessage = true;
            existing.voiceFile = std::move(record.voiceFile);
            return true;
        }
    }
    records_.push_back(std::move(record));
    return true;
}

size_t MissedCallList::RemoveEqual(const MissedCall& record) {
    std::lock_guard guard(mutex_);
    return std::erase(records_, record);
}

bool MissedCallList::MarkHeard(const MissedCall& record) {
    std::lock_guard guard(mutex_);
    bool changed = false;
    for (MissedCall& existing : records_) {
        MissedCall asHeard = existing;
        asHeard.heard = record.heard;
        if (existing.hasVoiceMessage && !existing.heard && asHeard == record) {
            existing.heard = true;
            changed = true;
        }
    }
    return changed;
}

size_t MissedCallList::size() const {
    std::lock_guard guard(mutex_);
    return records_.size();
}

std::optional<std::filesystem::path> MissedCallList::FilePath() const {
    const auto folder = ownFolder_ ? ownFolder_() : std::nullopt;
    if (!folder) {
        return std::nullopt;
    }
    return platform::ResolveNoCase(*folder, kMissedCallFileName);
}

bool MissedCallList::Save() {
    std::lock_guard guard(mutex_);
    const auto path = FilePath();
    if (!path) {
        platform::Trace("Missed calls: no user folder, list not saved\n");
        return false;
    }
    const int error = platform::WriteFileAtomically(*path, EncodeMissedCalls(records_), 0600);
    if (error != 0) {
        platform::Trace("Missed calls: cannot save %s: %s\n", path->c_str(), std::strerror(error));
        return false;
    }
    return true;
}

bool MissedCallList::Load() {
    std::lock_guard guard(mutex_);
    records_.clear();
    const auto path = FilePath();
    if (!path) {
        platform::Trace("Missed calls: no user folder, list left empty\n");
        return true;
    }
    const core::FileReadResult read = core::ReadWholeFile(*path, kMaxMissedCallFileBytes);
    std::string error;
    switch (read.status) {
        case core::FileReadResult::Status::NotFound:
            return true;
        case core::FileReadResult::Status::Failed:
            platform::Trace("Missed calls: cannot read %s: %s\n", path->c_str(),
                            read.error.c_str());
            return false;
        case core::FileReadResult::Status::TooLarge:
            error = read.error.empty() ? "file too large" : read.error;
            break;
        case core::FileReadResult::Status::Ok: {
            MissedCallsDecoded decoded = DecodeMissedCalls(read.bytes);
            if (decoded.records) {
                records_ = std::move(*decoded.records);
                return true;
            }
            error = decoded.error;
            records_ = std::move(decoded.beforeDamage);
            break;
        }
    }
    if (records_.empty()) {
        platform::Trace("Missed calls: %s is damaged (%s), not loaded\n", path->c_str(),
                        error.c_str());
    } else {
        platform::Trace("Missed calls: %s is damaged (%s); the %zu records before it are kept\n",
                        path->c_str(), error.c_str(), records_.size());
    }
    const std::filesystem::path aside = platform::MoveAside(*path);
    if (aside.empty()) {
        platform::Trace("Missed calls: cannot move the damaged file aside\n");
        return false;
    }
    platform::Trace("Missed calls: damaged file kept as %s\n", aside.c_str());
    // What was kept is the list's file again, before anything can go wrong.
    if (!records_.empty()) {
        if (const int failed =
                platform::WriteFileAtomically(*path, EncodeMissedCalls(records_), 0600)) {
            platform::Trace("Missed calls: cannot save %s: %s\n", path->c_str(),
                            std::strerror(failed));
        }
    }
    return false;
}

}  // namespace velto::calls
