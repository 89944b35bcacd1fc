#include "sipaccount/KeyringPasswordStore.h"

#include <libsecret/secret.h>

#include "sipaccount/BoundedPasswordStore.h"

namespace velto::skype::sip {
namespace {

const SecretSchema& Schema() {
    static const SecretSchema schema = [] {
        SecretSchema s{};
        s.name = "org.velto.Velto.Sip";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0] = {"setting", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[1] = {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return schema;
}

constexpr const char* kSetting = "setting";

// The error's text as the user's problem; frees the error.
PasswordOutcome Failed(GError* error) {
    std::string problem = "the keyring could not be reached";
    if (error != nullptr) {
        problem += std::string(": ") + error->message;
        g_error_free(error);
    }
    return PasswordOutcome::Unavailable(std::move(problem));
}

}  // namespace

KeyringPasswordStore::KeyringPasswordStore(const PasswordItem& item)
    : item_(item), cancellable_(g_cancellable_new()) {}

KeyringPasswordStore::~KeyringPasswordStore() {
    g_object_unref(cancellable_);
}

void KeyringPasswordStore::Cancel() {
    g_cancellable_cancel(cancellable_);
}

PasswordOutcome KeyringPasswordStore::Read() {
    GError* error = nullptr;
    gchar* secret = secret_password_lookup_sync(&Schema(), cancellable_, &error, kSetting,
                                                item_.keyringKey, nullptr);
    if (error != nullptr) {
        return Failed(error);
    }
    if (secret == nullptr) {
        return NoneOrLocked();
    }
    std::string password(secret);
    secret_password_free(secret);
    return password.empty() ? PasswordOutcome::Absent()
                            : PasswordOutcome::Done(std::move(password));
}

PasswordOutcome KeyringPasswordStore::Write(const std::string& password) {
    GError* error = nullptr;
    const gboolean stored = secret_password_store_sync(&Schema(), SECRET_COLLECTION_DEFAULT,
                                                       item_.label, password.c_str(), cancellable_,
                                                       &error, kSetting, item_.keyringKey, nullptr);
    if (!stored || error != nullptr) {
        return Failed(error);
    }
    return PasswordOutcome::Done();
}

PasswordOutcome KeyringPasswordStore::Erase() {
    GError* error = nullptr;
    const gboolean cleared = secret_password_clear_sync(&Schema(), cancellable_, &error, kSetting,
                                                        item_.keyringKey, nullptr);
    if (error != nullptr) {
        return Failed(error);
    }
    if (cleared) {
        return PasswordOutcome::Done();
    }
    const PasswordOutcome left = NoneOrLocked();
    return left.kind == PasswordOutcome::Kind::Absent ? PasswordOutcome::Done() : left;
}

PasswordOutcome KeyringPasswordStore::NoneOrLocked() {
    // Locked items are neither returned nor removed, and that is no error: look for them,
    // so that the user hears the keyring is locked rather than that it holds nothing.
    GError* error = nullptr;
    GList* items = secret_password_search_sync(&Schema(), SECRET_SEARCH_ALL, cancellable_, &error,
                                               kSetting, item_.keyringKey, nullptr);
    if (error != nullptr) {
        return Failed(error);
    }
    const bool locked = items != nullptr;
    g_list_free_full(items, g_object_unref);
    return locked ? PasswordOutcome::Unavailable("the keyring is locked")
                  : PasswordOutcome::Absent();
}

std::unique_ptr<PasswordStore> SystemKeyring(platform::Clock& clock, const PasswordItem& item) {
    return std::make_unique<BoundedPasswordStore>(std::make_shared<KeyringPasswordStore>(item),
                                                  clock, kKeyringTimeLimit);
}

}  // namespace velto::skype::sip
