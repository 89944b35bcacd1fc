#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/SettingFileContents.h"

namespace velto::core {

// Narrow strings in the setting file are shorter than this (readers of the format keep
// them in buffers of this size, terminator included).
constexpr int32_t kMaxNarrowStringBytes = 1024;

// Why a setting file was refused: the field being read and the byte offset where its
// encoding starts.
struct SettingFileError {
    std::string field;
    size_t offset = 0;
    std::string reason;

    // "field 'greeting source' at offset 10: ..." on one line.
    std::string ToString() const;
};

struct SettingFileDecoded {
    std::optional<SettingFileContents> contents;
    SettingFileError error;  // meaningful when contents is empty
    // Bytes after the last field this reader knows (a later version's blocks); readers
    // ignore them.
    size_t trailingBytes = 0;
};

// The setting file's bytes: int32 little-endian, narrow strings as int32 byte count and
// bytes, wide strings as int32 UTF-16 unit count and UTF-16LE units, no terminators.
// After the per-contact table, optionally, the voice-mail limits: "VML1" and three int32
// (silence, least voice, longest message, in milliseconds). Version 1 readers stop before
// them, so a file with them still reads there; a file without them reads with none.
// After them (or in their place), optionally, the greeting table: "GRT1"; the busy
// greeting as a greeting (below), kind -1 meaning none; an int32 count; per contact the
// handle (narrow string) and a greeting. A greeting is an int32 kind (0 the voice-mail
// page's, 1 the user's own, 2 a file) and a narrow string, empty unless the kind is 2,
// then a bare file name of the user's folder. Readers that know only the limits stop at
// "GRT1" as at any bytes after the last field.
std::string EncodeSettingFile(const SettingFileContents& contents);

// Reads every field in order. Every length and count is checked against the bytes that
// remain before anything is allocated, so a damaged file is refused as a whole.
SettingFileDecoded DecodeSettingFile(std::string_view bytes);

}  // namespace velto::core
