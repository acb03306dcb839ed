#include "platform/keychain/secret_store.h"

#include <libsecret/secret.h>

namespace {

const SecretSchema* PasswordSchema()
{
    static const SecretSchema schema = {
        "org.tidewell.Password",
        SECRET_SCHEMA_NONE,
        {
            {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    };
    return &schema;
}

// The two attributes as the table libsecret takes; owns its strings.
class CAttributes {
public:
    CAttributes(std::string_view service, std::string_view account)
        : mTable(g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free))
    {
        g_hash_table_insert(mTable, g_strdup("service"), g_strndup(service.data(), service.size()));
        g_hash_table_insert(mTable, g_strdup("account"), g_strndup(account.data(), account.size()));
    }
    ~CAttributes() { g_hash_table_unref(mTable); }
    CAttributes(const CAttributes&) = delete;
    CAttributes& operator=(const CAttributes&) = delete;
    GHashTable* get() const { return mTable; }

private:
    GHashTable* mTable;
};

// A missing bus, a service that is not running or cannot be activated, and a
// time-out all mean the same thing to the caller: there is no keychain.
SecretStatus StatusFromError(GError* error)
{
    SecretStatus status = SecretStatus::kFailed;
    if (error->domain == SECRET_ERROR) {
        if (error->code == SECRET_ERROR_IS_LOCKED) status = SecretStatus::kLocked;
        else if (error->code == SECRET_ERROR_NO_SUCH_OBJECT) status = SecretStatus::kNotFound;
    } else if (error->domain == G_DBUS_ERROR || error->domain == G_IO_ERROR ||
               error->domain == G_SPAWN_ERROR) {
        status = SecretStatus::kUnavailable;
    }
    g_error_free(error);
    return status;
}

// Attribute values must be valid UTF-8 for D-Bus; refusing here keeps a bad
// name from failing deep inside GLib with a warning.
bool IsUsableText(std::string_view text)
{
    return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) &&
           text.find('\0') == std::string_view::npos;
}

}  // namespace

SecretStatus StoreSecret(std::string_view service, std::string_view account, std::string_view secret)
{
    if (!IsUsableText(service) || !IsUsableText(account) || !IsUsableText(secret))
        return SecretStatus::kFailed;
    CAttributes attributes(service, account);
    std::string label(service);
    label.append(" ").append(account);
    std::string password(secret);
    GError* error = nullptr;
    gboolean stored = secret_password_storev_sync(PasswordSchema(), attributes.get(), SECRET_COLLECTION_DEFAULT,
                                                  label.c_str(), password.c_str(), nullptr, &error);
    // Leave no copy of the password behind in freed memory.
    volatile char* wipe = password.data();
    for (std::size_t i = 0; i < password.size(); ++i) wipe[i] = '\0';
    if (error != nullptr) return StatusFromError(error);
    return stored ? SecretStatus::kOK : SecretStatus::kFailed;
}

SecretStatus LookupSecret(std::string_view service, std::string_view account, std::string& secret)
{
    if (!IsUsableText(service) || !IsUsableText(account)) return SecretStatus::kFailed;
    CAttributes attributes(service, account);
    GError* error = nullptr;
    gchar* found = secret_password_lookupv_sync(PasswordSchema(), attributes.get(), nullptr, &error);
    if (error != nullptr) {
        if (found != nullptr) secret_password_free(found);
        return StatusFromError(error);
    }
    if (found == nullptr) return SecretStatus::kNotFound;
    secret.assign(found);
    secret_password_free(found);
    return SecretStatus::kOK;
}

SecretStatus DeleteSecret(std::string_view service, std::string_view account)
{
    if (!IsUsableText(service) || !IsUsableText(account)) return SecretStatus::kFailed;
    CAttributes attributes(service, account);
    GError* error = nullptr;
    gboolean removed = secret_password_clearv_sync(PasswordSchema(), attributes.get(), nullptr, &error);
    if (error != nullptr) return StatusFromError(error);
    return removed ? SecretStatus::kOK : SecretStatus::kNotFound;
}

const char* SecretStatusName(SecretStatus status)
{
    switch (status) {
    case SecretStatus::kOK: return "ok";
    case SecretStatus::kNotFound: return "not found";
    case SecretStatus::kUnavailable: return "no Secret Service";
    case SecretStatus::kLocked: return "keyring locked";
    case SecretStatus::kFailed: return "Secret Service error";
    }
    return "unknown";
}
