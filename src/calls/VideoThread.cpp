#include "calls/VideoThread.h"

#include "callapi/AutomationError.h"
#include "callapi/Call.h"
#include "platform/Trace.h"

namespace velto::calls {

using skype::VideoStatus;

struct VideoThread::State {
    State(const CallServices& s, platform::Cookie c, Direction d)
        : clock(s.clock),
          workers(s.workers),
          table(s.table),
          cookie(c),
          direction(d),
          changed(s.clock) {}

    platform::Clock& clock;
    platform::Workers& workers;
    platform::InterfaceTable& table;
    platform::Cookie cookie;
    Direction direction;

    std::mutex mutex;
    platform::ClockCondition changed;
    bool resume = false;
    bool cancel = false;
    bool ended = false;
    bool videoChanged = false;  // the call signalled a change not looked at yet

    bool Decided() const { return resume || cancel; }
};

VideoThread::VideoThread(const CallServices& services, platform::Cookie callCookie,
                         Direction direction)
    : state_(std::make_shared<State>(services, callCookie, direction)) {}

VideoThread::~VideoThread() {
    Cancel();
    WaitEnded();
}

void VideoThread::Start() {
    started_ = true;
    state_->workers.Start(state_->direction == Direction::Send ? "video-send" : "video-receive",
                          [state = state_] { Run(state); });
}

void VideoThread::Resume() {
    std::lock_guard guard(state_->mutex);
    state_->resume = true;
    state_->changed.NotifyAll();
}

void VideoThread::Cancel() {
    std::lock_guard guard(state_->mutex);
    state_->cancel = true;
    state_->changed.NotifyAll();
}

void VideoThread::WaitEnded() {
    if (!started_) {
        return;
    }
    std::unique_lock lock(state_->mutex);
    state_->changed.Wait(lock, [&] { return state_->ended; });
}

void VideoThread::Run(std::shared_ptr<State> state) {
    const bool send = state->direction == Direction::Send;
    try {
        const auto call = state->table.Get<skype::Call>(state->cookie);
        if (call) {
            const auto watch = call->Watch([&state = *state](skype::CallChange change) {
                if (change == skype::CallChange::InputEnded) {
                    return;  // the tone's end is nothing to the video
                }
                std::lock_guard guard(state.mutex);
                state.videoChanged = true;
                state.changed.NotifyAll();
            });
            bool stopped = false;
            std::unique_lock lock(state->mutex);
            // Until the call is decided, stop this direction's video whenever it starts;
            // between two looks, sleep until the call signals a change.
            while (!state->Decided()) {
                state->videoChanged = false;
                lock.unlock();
                const VideoStatus status =
                    send ? call->VideoSendStatus() : call->VideoReceiveStatus();
                if (status == VideoStatus::Starting || status == VideoStatus::Running) {
                    send ? call->StopVideoSend() : call->StopVideoReceive();
                    stopped = true;
                }
                lock.lock();
                if (stopped) {
                    break;
                }
                state->changed.Wait(lock, [&] { return state->Decided() || state->videoChanged; });
            }
            state->changed.Wait(lock, [&] { return state->Decided(); });
            const bool restart = stopped && state->resume && !state->cancel;
            lock.unlock();
            if (restart) {
                send ? call->StartVideoSend() : call->StartVideoReceive();
            }
        }
    } catch (const skype::AutomationError& error) {
        platform::Trace("VideoThread exception with HRESULT: %u(%x)\n", error.unsignedCode(),
                        error.unsignedCode());
    }
    std::lock_guard guard(state->mutex);
    state->ended = true;
    state->changed.NotifyAll();
}

}  // namespace velto::calls
