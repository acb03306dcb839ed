#include "engine/mail/mail_errors.h"

std::int32_t MailNetworkErrorCode(net::NetError error) { return kMailNetworkBase - static_cast<std::int32_t>(error); }
