#pragma once

#include <mad.h>

#include <string>

namespace velto::audio {

// The decoder's status texts, one line each.
void SetStatus(std::string& status, const char* format, ...) __attribute__((format(printf, 2, 3)));

// "N frames decoded (M:SS.mmm).", the text of a successful decoding.
void SetDecodedStatus(std::string& status, unsigned long frames, mad_timer_t playTime);

}  // namespace velto::audio
