#include "platform/SoundStream.h"

namespace velto::platform {

namespace {

// Takes the samples of one rate, as a device would, and plays nothing.
class NullSoundStream final : public SoundStream {
  public:
    bool Write(const std::vector<int16_t>&, uint32_t rate) override {
        if (rate == 0 || (rate_ != 0 && rate != rate_)) {
            return false;
        }
        rate_ = rate;
        return true;
    }
    const char* Name() const override { return "null"; }

  private:
    uint32_t rate_ = 0;
};

}  // namespace

std::unique_ptr<SoundStream> CreateNullSoundStream() {
    return std::make_unique<NullSoundStream>();
}

}  // namespace velto::platform
