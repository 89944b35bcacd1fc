#include "callapi/LateSkype.h"

#include <algorithm>
#include <utility>

#include "callapi/AutomationError.h"
#include "platform/Trace.h"

namespace velto::skype {

using platform::Trace;

void LateSkype::Supplier::Supply(SkypeFactory* factory) const {
    std::lock_guard guard(shared_->mutex);
    if (shared_->loop == nullptr) {
        return;
    }
    // The owner clears the loop under this lock before it goes, so the loop is alive here.
    platform::MessageLoop& loop = *shared_->loop;
    loop.Post([shared = shared_, factory, &loop] {
        if (shared->owner == nullptr) {
            return;
        }
        std::shared_ptr<Skype> real;
        try {
            real = factory != nullptr ? factory->CreateSkype(loop) : nullptr;
        } catch (const AutomationError& error) {
            Trace("Skype object: error %u(%x): %s\n", error.unsignedCode(), error.unsignedCode(),
                  error.what());
        }
        shared->owner->Arrive(std::move(real));
    });
}

LateSkype::LateSkype(platform::MessageLoop& loop)
    : ThreadBound(std::make_shared<LateSkypeShared>(), "Skype"), owner_(true) {
    backend_->loop = &loop;
    backend_->owner = this;
}

LateSkype::LateSkype(std::shared_ptr<LateSkypeShared> shared)
    : ThreadBound(std::move(shared), "Skype"), owner_(false) {}

LateSkype::~LateSkype() {
    if (!owner_) {
        return;
    }
    platform::InterfaceTable* table = nullptr;
    platform::Cookie cookie = 0;
    {
        std::lock_guard guard(backend_->mutex);
        backend_->loop = nullptr;
        backend_->owner = nullptr;
        table = backend_->table;
        cookie = std::exchange(backend_->realCookie, 0);
    }
    if (cookie != 0) {
        table->Revoke(cookie);
    }
}

void LateSkype::Arrive(std::shared_ptr<Skype> real) {
    real_ = std::move(real);
    if (!real_) {
        Trace("Skype object: no call backend behind it: not available\n");
        status_ = skype::AttachmentStatus::NotAvailable;
        if (attachRequested_) {
            const Event event{EventId::AttachmentStatus, {ToInt(status_)}};
            for (EventSink* sink : std::vector<EventSink*>(sinks_)) {
                sink->OnEvent(event);
            }
        }
        return;
    }
    for (EventSink* sink : sinks_) {
        if (!real_->Advise(*sink)) {
            Trace("Skype object: sink %d not subscribed\n", sink->SinkId());
        }
    }
    sinks_.clear();
    platform::InterfaceTable* table = nullptr;
    {
        std::lock_guard guard(backend_->mutex);
        table = backend_->table;
    }
    if (table != nullptr) {
        const platform::Cookie cookie = real_->RegisterIn(*table);
        std::lock_guard guard(backend_->mutex);
        backend_->realCookie = cookie;
    }
    if (attachRequested_) {
        try {
            real_->Attach(protocol_, false);
        } catch (const AutomationError& error) {
            Trace("Attach: error %u(%x): %s\n", error.unsignedCode(), error.unsignedCode(),
                  error.what());
        }
    }
}

Skype& LateSkype::Real(const char* operation) {
    Check(operation);
    if (!real_ && !owner_) {
        platform::InterfaceTable* table = nullptr;
        platform::Cookie cookie = 0;
        {
            std::lock_guard guard(backend_->mutex);
            table = backend_->table;
            cookie = backend_->realCookie;
        }
        if (cookie != 0) {
            real_ = table->Get<Skype>(cookie);
        }
    }
    if (!real_) {
        throw AutomationError(kNotAttached,
                              std::string(operation) + ": the call backend is not ready");
    }
    return *real_;
}

void LateSkype::Attach(int32_t protocol, bool wait) {
    Check("Attach");
    if (real_ || !owner_) {
        Real("Attach").Attach(protocol, wait);
        return;
    }
    attachRequested_ = true;
    protocol_ = protocol;
}

skype::AttachmentStatus LateSkype::AttachmentStatus() {
    Check("AttachmentStatus");
    if (!real_ && owner_) {
        return status_;
    }
    try {
        return Real("AttachmentStatus").AttachmentStatus();
    } catch (const AutomationError& error) {
        if (error.code() != kNotAttached) {
            throw;
        }
        return skype::AttachmentStatus::Unknown;
    }
}

std::string LateSkype::CurrentUserHandle() {
    return Real("CurrentUserHandle").CurrentUserHandle();
}

std::shared_ptr<User> LateSkype::CurrentUser() {
    return Real("CurrentUser").CurrentUser();
}

std::string LateSkype::Version() {
    return Real("Version").Version();
}

std::shared_ptr<UserCollection> LateSkype::Friends() {
    return Real("Friends").Friends();
}

std::shared_ptr<Command> LateSkype::CreateCommand() {
    return Real("CreateCommand").CreateCommand();
}

void LateSkype::SendCommand(const std::shared_ptr<Command>& command) {
    Real("SendCommand").SendCommand(command);
}

std::shared_ptr<skype::Application> LateSkype::Application(const std::string& name) {
    return Real("Application").Application(name);
}

void LateSkype::SendMessage(const std::string& handle, const std::string& text) {
    Real("SendMessage").SendMessage(handle, text);
}

bool LateSkype::Advise(EventSink& sink) {
    Check("Advise");
    if (real_ || !owner_) {
        return Real("Advise").Advise(sink);
    }
    if (std::find(sinks_.begin(), sinks_.end(), &sink) == sinks_.end()) {
        sinks_.push_back(&sink);
    }
    return true;
}

void LateSkype::Unadvise(EventSink& sink) {
    Check("Unadvise");
    if (real_) {
        real_->Unadvise(sink);
    }
    std::erase(sinks_, &sink);
}

platform::Cookie LateSkype::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    if (!owner_) {
        return Real("RegisterIn").RegisterIn(table);
    }
    bool registerReal = false;
    {
        std::lock_guard guard(backend_->mutex);
        backend_->table = &table;
        registerReal = real_ && backend_->realCookie == 0;
    }
    if (registerReal) {
        const platform::Cookie cookie = real_->RegisterIn(table);
        std::lock_guard guard(backend_->mutex);
        backend_->realCookie = cookie;
    }
    return table.RegisterFactory<Skype>([shared = backend_]() -> std::shared_ptr<Skype> {
        return std::make_shared<LateSkype>(shared);
    });
}

}  // namespace velto::skype
