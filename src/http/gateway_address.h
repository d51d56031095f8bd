#pragma once
// The gateway address a user may set as a preference (GatewayAddress), in
// place of the build's service addresses: an http:// or https:// address
// of a host and an optional port, nothing more.

#include <cstddef>
#include <string>

namespace nimbrel {

// The longest address taken.
inline constexpr std::size_t kGatewayAddressMaxLength = 255;

// True for "http://HOST" or "https://HOST" (the scheme in lower case), then
// an optional ":PORT" (decimal, 1 to 65535) and an optional "/". HOST is
// dot-separated labels of 1 to 63 letters, digits and hyphens (a name or an
// IPv4 address). No user information, path, query, blank or control byte;
// at most kGatewayAddressMaxLength characters.
bool IsGatewayAddress(const std::string& text);

// A gateway address as a base the request paths follow: without its "/".
std::string GatewayBase(const std::string& address);

// A text as a notice may show it: each control byte (C0 and DEL) as "?",
// and past maxLength characters cut, with "..." after it.
std::string PrintableValue(const std::string& text, std::size_t maxLength);

}  // namespace nimbrel
