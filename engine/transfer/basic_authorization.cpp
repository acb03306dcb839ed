#include "engine/transfer/basic_authorization.h"

#include "foundation/text/base64.h"

std::string BasicAuthorizationLine(std::string_view user, std::string_view password)
{
    if (user.empty() || password.empty()) return {};
    std::string credentials;
    credentials.reserve(user.size() + 1 + password.size());
    credentials.append(user).append(":").append(password);
    return "Authorization: Basic " + EncodeBase64(credentials);
}
