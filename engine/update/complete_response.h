// Whether a fetched response may replace a saved file.
#pragma once

class CURL;

// True only for a fetched 2xx answer that carries a whole body: never an
// error page, a redirect, an empty 204/205 or a 206 part, and never a body
// shorter or longer than its Content-Length said.
[[nodiscard]] bool HoldsCompleteBody(const CURL& url);
