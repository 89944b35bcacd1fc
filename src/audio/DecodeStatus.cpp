#include "audio/DecodeStatus.h"

#include <cstdarg>
#include <cstdio>

namespace velto::audio {

void SetStatus(std::string& status, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    status = text;
}

void SetDecodedStatus(std::string& status, unsigned long frames, mad_timer_t playTime) {
    char time[64];
    mad_timer_string(playTime, time, "%lu:%02lu.%03u", MAD_UNITS_MINUTES, MAD_UNITS_MILLISECONDS,
                     0);
    SetStatus(status, "%lu frames decoded (%s).\n", frames, time);
}

}  // namespace velto::audio
