// Asking the application to open a URL as if the user had sent it. The
// application installs its get-URL handler at start-up; until then, and in
// programs without one, the request fails with kSysNoGetURLHandler.
#pragma once

#include <functional>
#include <string_view>

#include "foundation/errors/status_codes.h"
#include "foundation/text/text_buffer.h"

using GetURLHandler = std::function<void(std::string_view url)>;

// Installs the handler; an empty function removes it.
void SetGetURLHandler(GetURLHandler handler);

// Hands the text to the handler.
[[nodiscard]] SystemStatus SendGetURLToSelf(const CTextBuffer& url);
