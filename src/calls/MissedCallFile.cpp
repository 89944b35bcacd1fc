#include "calls/MissedCallFile.h"

#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::calls {
namespace {

bool FitsLine(std::string_view text) {
    return text.size() <= kMaxMissedCallLine &&
           text.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

// Reads one line ending in '\n' from `bytes` at `pos`; a '\r' before the line end (a file
// from a system whose text lines end in CR LF) is dropped.
std::optional<std::string> ReadLine(std::string_view bytes, size_t& pos, const char* field,
                                    size_t record, std::string& error) {
    const size_t end = bytes.find('\n', pos);
    const auto fail = [&](const std::string& why) {
        error = "record " + std::to_string(record) + ": " + field + " " + why;
        return std::nullopt;
    };
    if (end == std::string_view::npos) {
        return fail(pos == bytes.size() ? "missing" : "has no line end");
    }
    std::string_view line = bytes.substr(pos, end - pos);
    // CR LF is the line end there, as LF is here: no part of the line's length.
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.size() > kMaxMissedCallLine) {
        return fail("is longer than " + std::to_string(kMaxMissedCallLine) + " bytes");
    }
    if (line.find('\0') != std::string_view::npos) {
        return fail("holds a NUL byte");
    }
    if (line.find('\r') != std::string_view::npos) {
        return fail("holds a carriage return");
    }
    pos = end + 1;
    return std::string(line);
}

char FlagByte(const MissedCall& record) {
    if (!record.busy && !(record.hasVoiceMessage && record.heard)) {
        return record.hasVoiceMessage ? kVoiceFlag : kNoVoiceFlag;
    }
    unsigned char state = kStateFlag;
    state |= record.hasVoiceMessage ? kStateVoice : 0;
    state |= record.hasVoiceMessage && record.heard ? kStateHeard : 0;
    state |= record.busy ? kStateBusy : 0;
    return static_cast<char>(state);
}

// Sets the record's marks from its flag byte; false for a byte no writer makes.
bool ReadFlagByte(char flag, MissedCall& record) {
    const auto byte = static_cast<unsigned char>(flag);
    if (flag == kVoiceFlag || flag == kNoVoiceFlag) {
        record.hasVoiceMessage = flag == kVoiceFlag;
        return true;
    }
    if ((byte & ~kStateBits) != kStateFlag) {
        return false;
    }
    record.hasVoiceMessage = (byte & kStateVoice) != 0;
    record.heard = (byte & kStateHeard) != 0;
    record.busy = (byte & kStateBusy) != 0;
    return record.hasVoiceMessage || !record.heard;
}

}  // namespace

std::string EncodeMissedCalls(const std::vector<MissedCall>& records) {
    std::string bytes;
    for (const MissedCall& record : records) {
        const std::string voice =
            record.hasVoiceMessage ? platform::Utf16ToUtf8(record.voiceFile) : std::string();
        if (record.partnerHandle.empty() || !FitsLine(record.partnerHandle) ||
            !FitsLine(record.time) || !FitsLine(voice)) {
            platform::Trace("Missed calls: record of \"%s\" cannot be written, left out\n",
                            record.partnerHandle.substr(0, 64).c_str());
            continue;
        }
        bytes += record.partnerHandle;
        bytes += '\n';
        bytes += record.time;
        bytes += '\n';
        bytes += FlagByte(record);
        if (record.hasVoiceMessage) {
            bytes += voice;
            bytes += '\n';
        }
    }
    return bytes;
}

namespace {

// Appends the records of `bytes` to `records` up to the first damage; false there, with
// the reason in `error`.
bool DecodeRecords(std::string_view bytes, std::vector<MissedCall>& records, std::string& error) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t number = records.size() + 1;
        MissedCall record;
        auto handle = ReadLine(bytes, pos, "handle", number, error);
        if (!handle) {
            return false;
        }
        if (handle->empty()) {
            error = "record " + std::to_string(number) + ": handle is empty";
            return false;
        }
        auto time = ReadLine(bytes, pos, "time", number, error);
        if (!time) {
            return false;
        }
        if (pos >= bytes.size()) {
            error = "record " + std::to_string(number) + ": flag byte missing";
            return false;
        }
        const char flag = bytes[pos++];
        if (!ReadFlagByte(flag, record)) {
            error = "record " + std::to_string(number) + ": flag byte " +
                    std::to_string(static_cast<unsigned char>(flag)) + " is not a known one";
            return false;
        }
        record.partnerHandle = std::move(*handle);
        record.time = std::move(*time);
        if (record.hasVoiceMessage) {
            auto voice = ReadLine(bytes, pos, "voice file", number, error);
            if (!voice) {
                return false;
            }
            record.voiceFile = platform::Utf8ToUtf16(*voice);
            // The program writes paths as UTF-8; other bytes would not survive a save.
            if (platform::Utf16ToUtf8(record.voiceFile) != *voice) {
                error = "record " + std::to_string(number) + ": voice file is not UTF-8";
                return false;
            }
        }
        records.push_back(std::move(record));
    }
    return true;
}

}  // namespace

MissedCallsDecoded DecodeMissedCalls(std::string_view bytes) {
    MissedCallsDecoded result;
    if (bytes.size() > kMaxMissedCallFileBytes) {
        result.error = "file of " + std::to_string(bytes.size()) + " bytes is too large";
        return result;
    }
    std::vector<MissedCall> records;
    if (DecodeRecords(bytes, records, result.error)) {
        result.records = std::move(records);
    } else {
        result.beforeDamage = std::move(records);
    }
    return result;
}

}  // namespace velto::calls
