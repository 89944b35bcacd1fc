#pragma once

#include <filesystem>
#include <optional>

#include "calls/MissedCall.h"
#include "calls/MissedCallList.h"

// A voice message on its way: while the caller speaks, a side file beside the message
// (its name + ".call") holds the caller and the record's time, so that a message cut off
// by a crash still gets its missed-call record at the next start.
namespace velto::calls {

std::filesystem::path PendingNoteOf(const std::filesystem::path& voiceFile);
// False (with a trace) when the side file could not be written; the message is recorded
// all the same.
bool WritePendingNote(const std::filesystem::path& voiceFile, const MissedCall& record);
void RemovePendingNote(const std::filesystem::path& voiceFile);
// The caller and time in a side file's bytes; nothing for a damaged one.
std::optional<MissedCall> ParsePendingNote(const std::string& bytes);

// True when the message is in its place: a file with at least a WAV header. The call
// backends put a message there only when it is complete.
bool MessageInPlace(const std::filesystem::path& voiceFile);

// At start, once the list is read: every side file left in `voiceFolder` by an earlier run
// (written before `runStart`; those of this run belong to calls still on) becomes a record,
// or completes the record the interrupted call saved, with the message when it is in
// place; the side files go. Saves the list and raises the new-missed-call flag when it
// changed; returns how many records were added or completed.
int SettlePendingMessages(MissedCallList& list, const std::filesystem::path& voiceFolder,
                          std::filesystem::file_time_type runStart);

}  // namespace velto::calls
