// Feeds arbitrary bytes to the reader of the running program's registration note; what it
// accepts must write back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sipaccount/RegistrationNote.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto note = velto::skype::sip::ParseRegistrationNote(bytes)) {
        if (note->pid <= 0 || note->line.size() > velto::skype::sip::kMaxRegistrationLine ||
            velto::skype::sip::EncodeRegistrationNote(*note) != bytes) {
            std::abort();
        }
    }
    return 0;
}
