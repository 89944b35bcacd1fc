#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <typeindex>

namespace velto::platform {

using Cookie = uint32_t;

// Process-wide table through which shared objects cross threads: one thread registers an
// object and passes the cookie; another obtains its own reference with Get. The last user
// revokes the cookie.
class InterfaceTable {
  public:
    // Registers an object; every Get returns it. Cookies are never 0.
    template <typename T>
    Cookie Register(std::shared_ptr<T> object) {
        return RegisterFactory<T>([object] { return object; });
    }

    // Registers a factory that produces the reference handed to each Get (for example a
    // proxy bound to the calling thread).
    template <typename T>
    Cookie RegisterFactory(std::function<std::shared_ptr<T>()> factory) {
        return Add(std::type_index(typeid(T)),
                   [factory = std::move(factory)]() -> std::shared_ptr<void> { return factory(); });
    }

    // Null when the cookie is unknown, revoked, or registered with another type.
    template <typename T>
    std::shared_ptr<T> Get(Cookie cookie) const {
        return std::static_pointer_cast<T>(Find(cookie, std::type_index(typeid(T))));
    }

    // True when the cookie was registered and is now removed.
    bool Revoke(Cookie cookie);
    size_t size() const;

  private:
    using Factory = std::function<std::shared_ptr<void>()>;
    struct Entry {
        std::type_index type;
        Factory factory;
    };

    Cookie Add(std::type_index type, Factory factory);
    std::shared_ptr<void> Find(Cookie cookie, std::type_index type) const;

    mutable std::mutex mutex_;
    Cookie next_ = 0x100;
    std::map<Cookie, Entry> entries_;
};

}  // namespace velto::platform
