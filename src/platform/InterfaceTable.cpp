#include "platform/InterfaceTable.h"

namespace velto::platform {

Cookie InterfaceTable::Add(std::type_index type, Factory factory) {
    std::lock_guard guard(mutex_);
    Cookie cookie = next_++;
    if (cookie == 0) {
        cookie = next_++;  // wrapped: 0 means "no cookie"
    }
    entries_.insert_or_assign(cookie, Entry{type, std::move(factory)});
    return cookie;
}

std::shared_ptr<void> InterfaceTable::Find(Cookie cookie, std::type_index type) const {
    Factory factory;
    {
        std::lock_guard guard(mutex_);
        const auto it = entries_.find(cookie);
        if (it == entries_.end() || it->second.type != type) {
            return nullptr;
        }
        factory = it->second.factory;
    }
    return factory();  // outside the lock: a factory may use the table itself
}

bool InterfaceTable::Revoke(Cookie cookie) {
    std::lock_guard guard(mutex_);
    return entries_.erase(cookie) == 1;
}

size_t InterfaceTable::size() const {
    std::lock_guard guard(mutex_);
    return entries_.size();
}

}  // namespace velto::platform
