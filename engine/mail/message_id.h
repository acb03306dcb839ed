// Message-IDs for notification mails, and the local host name they and the
// mail headers use.
#pragma once

#include <string>
#include <string_view>

// "<" + a new random UUID's 32 hex digits + the sender's domain + ">": the
// text from the sender's last '@' on when it has a domain there ("Ann
// <ann@example.org>" gives "<...@example.org>", no second '>'), else "@"
// and the local host name, so every ID has the id@domain form.
std::string MakeMessageID(std::string_view sender);

// gethostname(), cut to what a Message-ID's domain may hold; "localhost"
// when the name is unknown or empty.
std::string LocalHostName();

// A version-4 UUID as 32 lowercase hex digits (no dashes).
std::string NewUuidHex();
