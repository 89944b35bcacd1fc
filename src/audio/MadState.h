#pragma once

#include <mad.h>

namespace velto::audio {

// libmad's decoding state, released on every way out.
struct MadState {
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
    MadState() {
        mad_stream_init(&stream);
        mad_frame_init(&frame);
        mad_synth_init(&synth);
    }
    ~MadState() {
        mad_synth_finish(&synth);
        mad_frame_finish(&frame);
        mad_stream_finish(&stream);
    }
    MadState(const MadState&) = delete;
    MadState& operator=(const MadState&) = delete;
};

// Synthesises the frame just decoded into mad.synth.pcm: every channel, or only the first.
// The first channel's samples are the same either way: each channel has its own filter
// state, and the phase advances per frame, not per channel.
inline void SynthesizeFrame(MadState& mad, bool firstChannelOnly) {
    if (!firstChannelOnly || mad.frame.header.mode == MAD_MODE_SINGLE_CHANNEL) {
        mad_synth_frame(&mad.synth, &mad.frame);
        return;
    }
    // libmad takes the channel count from the header's mode alone.
    const mad_mode mode = mad.frame.header.mode;
    mad.frame.header.mode = MAD_MODE_SINGLE_CHANNEL;
    mad_synth_frame(&mad.synth, &mad.frame);
    mad.frame.header.mode = mode;
}

}  // namespace velto::audio
