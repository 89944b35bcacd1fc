// Feeds arbitrary bytes, in arbitrary read sizes, to the frame codec: the first byte sets
// the largest read, the second the receiver's limit, the third which receiver (a fixed
// buffer as the program's server link, a growing one as the servers); the rest is the
// stream. Every frame received must encode back to the very bytes it was read from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame/Frame.h"

using namespace velto::frame;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const size_t chunk = size_t{data[0]} + 1;
    const size_t limit = size_t{data[1]} * 40;
    const bool growing = (data[2] & 1) != 0;
    std::vector<uint8_t> buffer(growing ? 0 : limit);
    size_t pos = 3;
    const ReadSome read = [&](uint8_t* out, size_t want) -> long {
        const size_t n = std::min({want, chunk, size - pos});
        std::copy_n(data + pos, n, out);
        pos += n;
        return static_cast<long>(n);
    };
    while (pos < size) {
        const size_t start = pos;
        const Received received =
            growing ? ReceiveFrame(read, limit, buffer) : ReceiveFrame(read, buffer);
        if (received.status == FrameStatus::TooLong &&
            (received.length <= limit || pos != start + kHeaderSize)) {
            __builtin_trap();  // refused a length that fits, or read into the refused payload
        }
        if (received.status != FrameStatus::Ok) {
            break;
        }
        if (received.length > limit || (growing && buffer.size() != received.length)) {
            __builtin_trap();
        }
        const auto again = EncodeFrame(std::span(buffer.data(), received.length));
        if (!again || again->size() != pos - start ||
            !std::equal(again->begin(), again->end(), data + start)) {
            __builtin_trap();
        }
    }
    return 0;
}
