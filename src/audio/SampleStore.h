#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace velto::audio {

// Samples kept in blocks, so that a range's memory grows by a block at a time and stored
// samples never move.
class SampleStore {
  public:
    const int32_t* Add(const int32_t* samples, unsigned count) {
        if (blocks_.empty() || kBlock - used_ < count) {
            blocks_.push_back(std::make_unique<int32_t[]>(std::max<size_t>(kBlock, count)));
            used_ = 0;
        }
        int32_t* at = blocks_.back().get() + used_;
        std::copy(samples, samples + count, at);
        used_ += count;
        return at;
    }
    void Clear() {
        blocks_.clear();
        blocks_.shrink_to_fit();
    }

  private:
    // Under the allocator's mmap threshold, so that freed blocks are reused, not unmapped.
    static constexpr size_t kBlock = 16 * 1152;
    std::vector<std::unique_ptr<int32_t[]>> blocks_;
    size_t used_ = 0;
};

}  // namespace velto::audio
