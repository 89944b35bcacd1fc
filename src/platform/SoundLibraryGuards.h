#pragma once

// Guards for the calls into PortAudio and the sound libraries under it (ALSA, JACK), shared
// by the output and the input.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define VELTO_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELTO_LEAK_CHECKER 1
#endif
#endif
#ifdef VELTO_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace velto::platform {

// While it lives, the leak checker does not count this thread's allocations. ALSA keeps
// its configuration, partly built by plugins it unloads again, until the process ends;
// that is the sound libraries' memory, not the program's.
class SoundLibraryAllocations {
  public:
#ifdef VELTO_LEAK_CHECKER
    SoundLibraryAllocations() {
        __lsan_disable();
    }
    ~SoundLibraryAllocations() {
        __lsan_enable();
    }
#else
    SoundLibraryAllocations() = default;
#endif
    SoundLibraryAllocations(const SoundLibraryAllocations&) = delete;
    SoundLibraryAllocations& operator=(const SoundLibraryAllocations&) = delete;
};

// While it lives, the process's standard error goes nowhere. The sound libraries under
// PortAudio (ALSA, JACK) print dozens of lines there while they look for devices on a
// machine without a sound card; the probe's own result is all the program needs.
class QuietStandardError {
  public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) {
            ::dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            ::close(null);
        }
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    int saved_ = -1;
};

}  // namespace velto::platform
