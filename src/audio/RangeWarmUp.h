#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velto::audio {

// The most main data a frame may take from the frames before it (a 9-bit pointer).
constexpr size_t kReservoirBytes = 511;

// The unbroken frame sequence a range's decoder has read before its anchor.
class RangeWarmUp {
  public:
    void Reset() {
        run_.clear();
        payload_ = 0;
        decodedInRow_ = 0;
        exact_ = false;
        open_ = false;
    }
    bool Exact() const { return exact_; }
    bool ReservoirFull() const { return payload_ >= kReservoirBytes; }
    bool Continues(uint64_t offset, unsigned layer) const {
        return !run_.empty() && offset == runEnd_ && layer == layer_;
    }
    void Header(uint64_t offset, uint32_t size, unsigned layer, size_t payload) {
        if (!Continues(offset, layer)) {
            Reset();
            layer_ = layer;
        }
        run_.push_back(offset);
        runEnd_ = offset + size;
        pending_ = payload;
        open_ = true;
    }
    // The outcome of the frame whose header came last.
    void Frame(bool decoded, bool synced) {
        if (!open_ || !synced) {
            Reset();
            return;
        }
        if (ReservoirFull()) {
            decodedInRow_ = decoded ? decodedInRow_ + 1 : 0;
        }
        exact_ = exact_ || decodedInRow_ >= 2;
        payload_ += pending_;
        open_ = false;
    }
    std::vector<uint64_t> TakeRun() { return std::move(run_); }

  private:
    std::vector<uint64_t> run_;
    uint64_t runEnd_ = 0;
    unsigned layer_ = 0;
    size_t payload_ = 0;
    size_t pending_ = 0;
    int decodedInRow_ = 0;
    bool exact_ = false;
    bool open_ = false;
};

}  // namespace velto::audio
