// Addresses for the SMTP envelope, taken from the texts of a mail request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The address of "Name <address>" or of a bare address, without blanks
// around it; empty when there is none, or when it holds blanks, control
// characters or angle brackets (which could end the command early or add
// one of their own).
std::string EnvelopeAddress(std::string_view text);

// The addresses of a comma-separated list (commas inside double quotes do
// not separate); an item without a usable address gives an empty entry, so
// the caller can refuse the list.
std::vector<std::string> EnvelopeRecipients(std::string_view list);

// The sender of a mail that names none: the account's user name when it is
// an address, else the (first) recipient, so a mail never goes out with an
// empty From.
std::string DefaultSender(std::string_view userName, std::string_view recipient);
