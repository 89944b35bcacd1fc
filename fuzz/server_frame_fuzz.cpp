// Feeds arbitrary bytes, in arbitrary read sizes, to the frame reader: the first byte
// sets the largest read, the second the buffer size; the rest is the stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "server/Frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const size_t chunk = size_t{data[0]} + 1;
    std::vector<uint8_t> buffer(size_t{data[1]} * 40);
    size_t pos = 2;
    const velto::server::ReadSome read = [&](uint8_t* out, size_t want) -> long {
        const size_t n = std::min({want, chunk, size - pos});
        std::copy_n(data + pos, n, out);
        pos += n;
        return static_cast<long>(n);
    };
    while (pos < size) {
        size_t length = 0;
        if (velto::server::ReceiveFrame(read, buffer, length) != velto::server::FrameStatus::Ok) {
            break;
        }
        if (length > buffer.size()) {
            __builtin_trap();
        }
    }
    return 0;
}
