#include "calls/VideoGuards.h"

namespace velto::calls {

void VideoGuards::StartIfVideo(skype::Call& call) {
    if (started() || (call.VideoSendStatus() == skype::VideoStatus::NotAvailable &&
                      call.VideoReceiveStatus() == skype::VideoStatus::NotAvailable)) {
        return;
    }
    send_.emplace(services_, cookie_, VideoThread::Direction::Send);
    receive_.emplace(services_, cookie_, VideoThread::Direction::Receive);
    send_->Start();
    receive_->Start();
}

void VideoGuards::Resume() {
    if (started()) {
        send_->Resume();
        receive_->Resume();
    }
}

void VideoGuards::Cancel() {
    if (started()) {
        send_->Cancel();
        receive_->Cancel();
    }
}

void VideoGuards::WaitEnded() {
    if (started()) {
        send_->WaitEnded();
        receive_->WaitEnded();
    }
}

}  // namespace velto::calls
