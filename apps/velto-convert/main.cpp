// velto-convert IN OUT: turns an MP3 or WAV file into a tone file (16-bit PCM, one channel,
// 16000 samples per second), the way a file the user picks is converted.
#include <iostream>

#include "cli/GuardedMain.h"
#include "velto-convert/ConvertCommand.h"

int main(int argc, char** argv) {
    return velto::cli::GuardedMain("velto-convert", [&] {
        return velto::convert::RunConvert(std::vector<std::string>(argv + 1, argv + argc),
                                          std::cout, std::cerr);
    });
}
