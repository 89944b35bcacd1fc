#include "support/PythonWav.h"

#include "support/ShellCommand.h"

namespace velto::test {

std::string PythonWavReading(const std::filesystem::path& file) {
    const ShellOutcome outcome = RunShell(
        "python3 -c 'import sys, os, struct, wave; p = sys.argv[1]; w = wave.open(p); "
        "d = open(p, \"rb\").read(); n, c, s = w.getnframes(), w.getnchannels(), "
        "w.getsampwidth(); "
        "print(n, w.getframerate(), c, s, struct.unpack(\"<I\", d[4:8])[0] == len(d) - 8 and "
        "struct.unpack(\"<I\", d[40:44])[0] == len(d) - 44 and 44 + n * c * s == len(d))' " +
        ShellQuote(file.string()) + " 2>/dev/null");
    return outcome.code == 0 ? outcome.output : "";
}

}  // namespace velto::test
