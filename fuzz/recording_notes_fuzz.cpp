// Feeds arbitrary bytes to the readers of the side files of a message being recorded (the
// SIP backend's note of where the recording goes, the call handler's note of the caller).
// What is accepted must write back to bytes that read to the same content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "backends/sip/RecordingFiles.h"
#include "calls/PendingMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto note = velto::skype::sip::ParseTargetNote(bytes)) {
        const std::string again = "target=" + note->target.string() +
                                  "\nrate=" + std::to_string(note->format.rate) +
                                  "\nchannels=" + std::to_string(note->format.channels) + "\n";
        const auto reread = velto::skype::sip::ParseTargetNote(again);
        if (!note->target.is_absolute() || note->format.channels > 16 ||
            (note->target.string().find('\n') == std::string::npos &&
             (!reread || reread->target != note->target ||
              reread->format.rate != note->format.rate))) {
            std::abort();
        }
    }
    if (const auto record = velto::calls::ParsePendingNote(bytes)) {
        if (record->partnerHandle.empty() || record->hasVoiceMessage) {
            std::abort();
        }
        const auto reread = velto::calls::ParsePendingNote("caller=" + record->partnerHandle +
                                                           "\ntime=" + record->time + "\n");
        if (bytes.size() < 3000 && (!reread || reread->partnerHandle != record->partnerHandle)) {
            std::abort();
        }
    }
    return 0;
}
