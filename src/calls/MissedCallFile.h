#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calls/MissedCall.h"

namespace velto::calls {

// The missed-call file "MissedCalls" in the user's own folder. Per record, in list order:
// the handle and a line end, the time and a line end, one flag byte (no line end), and
// only when the flag says there is a voice message, the voice file path (UTF-8) and a line
// end.
//
// The flag byte: 0x00 no voice message; 0xFF a voice message not yet heard (the only two
// values of the first format, whose files thus read on: their messages count as new); or
// 0x80 with the bits below. The writer keeps to 0x00 and 0xFF wherever they say it all,
// so a file stays readable by the first format's reader up to the first heard or busy
// record.
inline constexpr const char* kMissedCallFileName = "MissedCalls";
// Lines are read into a 1,024-byte buffer with their line end and its terminator, so a
// line holds at most 1,022 bytes before its end: longer ones cannot be part of a good file
// (the first format's reader would split them).
inline constexpr size_t kMaxMissedCallLine = 1022;
// No real list comes near this; a larger file is refused unread.
inline constexpr size_t kMaxMissedCallFileBytes = 16 * 1024 * 1024;

inline constexpr char kVoiceFlag = static_cast<char>(0xFF);
inline constexpr char kNoVoiceFlag = '\0';
inline constexpr unsigned char kStateFlag = 0x80;
inline constexpr unsigned char kStateVoice = 0x01;
inline constexpr unsigned char kStateHeard = 0x02;  // only with kStateVoice
inline constexpr unsigned char kStateBusy = 0x04;
inline constexpr unsigned char kStateBits = kStateVoice | kStateHeard | kStateBusy;

// The file's bytes. A record with a field the file cannot hold (a line end, CR or NUL inside,
// or longer than kMaxMissedCallLine) is left out and traced, so that the file stays
// readable. The heard mark of a record without a voice message is not kept.
std::string EncodeMissedCalls(const std::vector<MissedCall>& records);

struct MissedCallsDecoded {
    std::optional<std::vector<MissedCall>> records;  // nothing when the file is damaged
    std::string error;                               // why, naming the record and field
    // Of a damaged file: the whole records before the damage.
    std::vector<MissedCall> beforeDamage;
};

// Checks every line and byte; never reads past the end.
MissedCallsDecoded DecodeMissedCalls(std::string_view bytes);

}  // namespace velto::calls
