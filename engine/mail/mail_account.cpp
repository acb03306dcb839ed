#include "engine/mail/mail_account.h"

#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_accessors.h"

CMailAccount MailAccountFromSettings(const CAppSettings& settings)
{
    CMailAccount account;
    account.server = settings.mMailServer.str();
    const std::int32_t port = settings.mMailServerPort;
    account.port = static_cast<std::uint16_t>(port >= 1 && port <= 65535 ? port : CAppSettings::kDefaultMailServerPort);
    account.userName = settings.mMailUserName.str();
    account.password = settings.mMailPassword.str();
    account.recipient = settings.mMailRecipient.str();
    const std::int32_t seconds = settings.mNetworkTimeout > 0 ? settings.mNetworkTimeout : kDefaultNetworkTimeout;
    account.timeout = std::chrono::seconds(seconds);
    account.allowPasswordWithoutTls = IsPreferenceTrue(kMailPasswordWithoutTlsKey);
    return account;
}
