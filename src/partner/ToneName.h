#pragma once

#include <string>
#include <string_view>

namespace velto::partner {

// The download address: prefix followed by the remote file name, with the bytes an
// address may not carry as they are (spaces, non-ASCII, quotes...) percent-encoded.
// Only http and https addresses are accepted; nothing otherwise.
bool BuildDownloadAddress(std::string_view prefix, std::string_view remoteName,
                          std::string& address);

}  // namespace velto::partner
