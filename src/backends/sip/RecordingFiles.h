#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "audio/WavSizes.h"

// The files of a call's recording in the SIP stack's folder. The stack writes the
// recording under a name fixed when the call is answered and does not empty a file that
// is there already, so every call gets a new file of its own; when recording starts, a
// side file names where the message belongs, so that a recording left by a crash can be
// put there at the next start.
namespace velto::skype::sip {

// A new, empty "recording-XXXXXX.wav" in `folder`, created exclusively (a name no other
// call has, whatever earlier runs left). Nothing, with the reason in `error`, when the
// file cannot be made.
std::optional<std::filesystem::path> CreateRecordingFile(const std::filesystem::path& folder,
                                                         std::string& error);

// What the side file keeps: the message's place, and the sound format, because the stack
// leaves the WAV header blank until the recording ends.
struct RecordingNote {
    std::filesystem::path target;
    audio::PcmFormat format;
};

// The side file: `recording` + ".target".
std::filesystem::path TargetNoteOf(const std::filesystem::path& recording);
// Writes the side file (atomically); empty or the reason.
std::string WriteTargetNote(const std::filesystem::path& recording, const RecordingNote& note);
// The side file's content; nothing when it is missing or damaged.
std::optional<RecordingNote> ParseTargetNote(const std::string& bytes);

// Puts a finished recording (its WAV sizes made right) in its place: renamed, or
// copied and renamed across file systems, so that the place never holds half a file.
// The recording and its side file go only when it is in place; else both stay, for the
// next start, and the reason is returned (empty on success).
std::string PlaceRecording(const std::filesystem::path& recording,
                           const std::filesystem::path& target);

// At start, before any call: every recording a crash left in `folder` goes to the place
// its side file names; recordings without one were never started and are removed.
// Traces what it does; returns how many went into place.
// A recording that holds nothing usable, with its side file.
void RemoveRecording(const std::filesystem::path& recording);

int RecoverRecordings(const std::filesystem::path& folder);

}  // namespace velto::skype::sip
