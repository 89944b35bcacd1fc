#pragma once

#include <filesystem>
#include <string>

namespace velto::test {

// Python's own WAV reader on `file`: "frames rate channels width exact", where exact is
// True when the RIFF size is the file's less 8, the data size its less 44, and the file is
// that header and its whole frames and nothing else. "" when Python refuses the file.
std::string PythonWavReading(const std::filesystem::path& file);

}  // namespace velto::test
