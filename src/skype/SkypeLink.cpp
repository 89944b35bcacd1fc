#include "skype/SkypeLink.h"

#include "callapi/AutomationError.h"
#include "core/ProcessExit.h"
#include "platform/Trace.h"

namespace velto::skype {

using platform::Trace;

namespace {

std::function<void(int)> DefaultEndProcess(platform::MessageLoop& loop) {
    return [&loop](int exitCode) { loop.Post([exitCode] { throw core::ProcessExit(exitCode); }); };
}

std::function<void()> NoSound() {
    return [] { Trace("No sound player to stop\n"); };
}

}  // namespace

SkypeLink::SkypeLink(SkypeContext context)
    : context_(std::move(context)),
      channel_(context_.hooks.stopPlayingSound ? context_.hooks.stopPlayingSound : NoSound()),
      gate_(context_.clock),
      guard_(context_.hooks.endProcess ? context_.hooks.endProcess
                                       : DefaultEndProcess(context_.loop)) {}

SkypeLink::~SkypeLink() {
    gate_.Stop();
    ReleaseSkype();
}

void SkypeLink::SetUpSkype(SkypeFactory* factory) {
    try {
        skype_ = factory != nullptr ? factory->CreateSkype(context_.loop) : nullptr;
    } catch (const AutomationError& error) {
        Trace("Skype object: error %u(%x): %s\n", error.unsignedCode(), error.unsignedCode(),
              error.what());
        skype_ = nullptr;
    }
    if (!skype_) {
        Trace("Skype object cannot be created: running without Skype\n");
        return;
    }
    eventHandler_ = std::make_unique<SkypeEventHandler>(context_, skype_, channel_, gate_, guard_);
    context_.state.SkypeCookie = skype_->RegisterIn(context_.table);
    applicationHandler_ = std::make_unique<ApplicationEventHandler>(skype_, channel_, guard_);
    try {
        skype_->Attach(kAttachProtocol, false);
    } catch (const AutomationError& error) {
        Trace("Attach: error %u(%x): %s\n", error.unsignedCode(), error.unsignedCode(),
              error.what());
    }
}

void SkypeLink::ReleaseSkype() {
    skype_.reset();
    if (const platform::Cookie cookie = context_.state.SkypeCookie.exchange(0); cookie != 0) {
        context_.table.Revoke(cookie);
    }
    eventHandler_.reset();
    applicationHandler_.reset();
    channel_.Clear();
}

bool SkypeLink::StopStabilisers(platform::Millis timeout) {
    gate_.Stop();
    return context_.loop.RunUntil([this] { return gate_.Running() == 0; }, timeout);
}

}  // namespace velto::skype
