// Internal to platform/net: libcurl's process-wide set-up, the share of DNS
// answers and TLS sessions, and the idle easy handles of blocking transfers.
#pragma once

#include <curl/curl.h>

namespace net::detail {

// Initialises libcurl once; every other call here does it first.
void EnsureCurlReady();

// DNS cache and TLS session cache shared by every transfer, with a mutex
// per kind of data. Connections are not shared through it: libcurl does not
// support a shared connection cache across concurrent threads.
CURLSH* SharedCaches();

// An easy handle for a blocking transfer, with no options set. Handles come back
// last-in first-out, so the handle that just finished a request, with the
// live connection it keeps, serves the next one.
CURL* TakeBlockingHandle();
void ReturnBlockingHandle(CURL* easy);  // resets it

}  // namespace net::detail
