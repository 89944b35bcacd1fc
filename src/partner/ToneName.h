#pragma once

#include <string>
#include <string_view>

namespace velto::partner {

// Tone keys, remote file names and the user's handle arrive from the network or from
// Skype and become local file names and parts of addresses. Only a plain file name is
// accepted: not empty, at most kMaxToneNameBytes bytes, valid UTF-8, no path separator,
// no control character, no "..". On refusal `reason` (when given) says why.
constexpr size_t kMaxToneNameBytes = 200;
bool IsPlainFileName(std::string_view name, std::string* reason = nullptr);

// The download address: prefix followed by the remote file name, with the bytes an
// address may not carry as they are (spaces, non-ASCII, quotes...) percent-encoded.
// Only http and https addresses are accepted; nothing otherwise.
bool BuildDownloadAddress(std::string_view prefix, std::string_view remoteName,
                          std::string& address);

}  // namespace velto::partner
