#include "skype/AttachmentStabiliser.h"

#include "callapi/AutomationError.h"
#include "core/DataDirs.h"
#include "core/Messages.h"
#include "platform/Com.h"
#include "platform/Trace.h"
#include "skype/ContactSnapshot.h"

namespace velto::skype {

using platform::Trace;

void StabiliserGate::Enter() {
    std::lock_guard guard(shared_->mutex);
    ++shared_->running;
}

void StabiliserGate::Leave() {
    {
        std::lock_guard guard(shared_->mutex);
        --shared_->running;
    }
    shared_->changed.NotifyAll();
}

int StabiliserGate::Running() const {
    std::lock_guard guard(shared_->mutex);
    return shared_->running;
}

bool StabiliserGate::Sleep(platform::Millis duration) {
    std::unique_lock lock(shared_->mutex);
    return !shared_->changed.WaitFor(lock, duration, [this] { return shared_->stop; });
}

void StabiliserGate::Stop() {
    {
        std::lock_guard guard(shared_->mutex);
        shared_->stop = true;
    }
    shared_->changed.NotifyAll();
}

void StartAttachmentStabiliser(const SkypeContext& context, const StabiliserGate& gate) {
    // Counted before the thread exists, so that shut-down never misses one.
    StabiliserGate own = gate;
    own.Enter();
    context.workers.Start("Stabiliser", [context, own]() mutable {
        struct Leaving {
            StabiliserGate& gate;
            ~Leaving() { gate.Leave(); }
        } leaving{own};
        RunAttachmentStabiliser(context, own);
    });
}

namespace {

void SettleAndTell(const SkypeContext& context, StabiliserGate& gate, Skype& skype) {
    core::SharedState& state = context.state;
    while (skype.AttachmentStatus() != AttachmentStatus::Success) {
        // A lost attachment ends this stabiliser; the next grant starts a new one.
        if (!state.SkypeAttached) {
            Trace("Stabiliser: Skype went away before the contact list settled\n");
            return;
        }
        Trace("Wait for connection\n");
        if (!gate.Sleep(kConnectionPoll)) {
            return;
        }
    }

    const std::string handle = skype.CurrentUserHandle();
    if (handle != state.MyHandle.Get()) {
        Trace("Stabiliser: signed in as %s, not %s: no folder made\n", handle.c_str(),
              state.MyHandle.Get().c_str());
    } else if (const auto folder = context.settingFile.UserOwnFolder()) {
        core::CreateDirectoryLevels(*folder);
    } else {
        Trace("Stabiliser: \"%s\" cannot name a folder\n", handle.c_str());
    }

    platform::Clock& clock = context.clock;
    ContactSnapshot snapshot = TakeContactSnapshot(skype);
    const platform::Millis cap = clock.Now() + kContactsSettleCap;
    platform::Millis noted = clock.Now();
    while (clock.Now() - noted < kContactsStill) {
        if (clock.Now() >= cap) {
            Trace("Stabiliser: the contact list still changes; shown as it is\n");
            break;
        }
        if (!gate.Sleep(kContactPoll)) {
            return;
        }
        ContactSnapshot next = TakeContactSnapshot(skype);
        if (next != snapshot) {
            snapshot = std::move(next);
            noted = clock.Now();
        }
    }

    Trace("Stabled!!!!!!!!!!!!!!\n");
    context.windows.SendMessage(state.MainWindowHandle, core::WM_UPDATELIST, 1, 1);
    context.windows.PostMessage(state.MainWindowHandle, core::WM_CONTACTS_STABLE, 0, 0);
}

}  // namespace

void RunAttachmentStabiliser(const SkypeContext& context, StabiliserGate& gate) {
    [[maybe_unused]] platform::ComApartment apartment;
    std::shared_ptr<Skype> skype;
    while (!(skype = context.table.Get<Skype>(context.state.SkypeCookie))) {
        Trace("Wait for register\n");
        if (!gate.Sleep(kRegisterPoll)) {
            return;
        }
    }
    try {
        SettleAndTell(context, gate, *skype);
    } catch (const AutomationError& error) {
        Trace("Stabiliser: Skype error %u(%x): %s\n", error.unsignedCode(), error.unsignedCode(),
              error.what());
    }
    // The reference is released here, on the thread that obtained it.
}

}  // namespace velto::skype
