#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "calls/MissedCall.h"

namespace velto::calls {

// The missed-call list: records in the order they were added, under one lock, with the
// file they are kept in and the new-missed-call flag that the user interface polls.
class MissedCallList {
  public:
    // The user's own folder, or nothing while no usable Skype handle is known.
    using FolderSource = std::function<std::optional<std::filesystem::path>()>;

    explicit MissedCallList(FolderSource ownFolder);

    // Appends under the lock.
    void Add(MissedCall record);
    // What the call handler does with a finished record: add it, save the list, and raise
    // the new-missed-call flag.
    void AddSaveAndFlag(MissedCall record);
    // Told of every record AddSaveAndFlag adds, on the adding thread, after the save (the
    // desktop's notifications); it must not block. Null: nobody is told.
    void SetAddedListener(std::function<void(const MissedCall&)> listener);

    std::vector<MissedCall> Snapshot() const;
    // For the missed-call view after it edited the list (it saves afterwards).
    void Replace(std::vector<MissedCall> records);
    // For a call whose record may have been saved before its message was in place: the
    // record of the same caller and time gets the message, or `record` is added; in one
    // step under the lock. True when the list changed.
    bool AddOrComplete(MissedCall record);
    // Removes every record equal to `record` in one step under the lock (a call handler
    // may add one meanwhile); returns how many went.
    size_t RemoveEqual(const MissedCall& record);
    // The voice message of every record equal to `record` but for its heard mark is marked
    // heard, in one step under the lock; true when one was not heard before.
    bool MarkHeard(const MissedCall& record);
    size_t size() const;

    // The whole list, written atomically; false when nothing could be written (no usable
    // folder, or the write failed, with a trace; the list stays in memory).
    bool Save();
    // Empties the list and reads the file into it. A missing file leaves the list empty; a
    // damaged one is moved aside with a trace, and the whole records before the damage are
    // kept (and saved as the list's file). False when the file existed but could not be
    // used whole.
    bool Load();

    std::optional<std::filesystem::path> FilePath() const;

    // Raised whenever a call adds a record; the user interface clears it once shown.
    bool NewMissedCall() const { return newMissedCall_.load(); }
    void SetNewMissedCall() { newMissedCall_.store(true); }
    void ClearNewMissedCall() { newMissedCall_.store(false); }

  private:
    FolderSource ownFolder_;
    mutable std::mutex mutex_;
    std::vector<MissedCall> records_;
    std::atomic<bool> newMissedCall_{false};
    // Its own lock: the listener runs outside mutex_, and may be replaced meanwhile.
    std::mutex listenerMutex_;
    std::function<void(const MissedCall&)> listener_;
};

}  // namespace velto::calls
