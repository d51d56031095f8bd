#pragma once
// Percent-encoding: every byte that may not stand where the text goes
// becomes %XX in upper-case hex; the others stand as themselves.

#include <string>
#include <string_view>

namespace nimbrel {

// Appends text with A-Z a-z 0-9 and the bytes of alsoKept unchanged.
void AppendPercentEncoded(std::string& out, std::string_view text, const char* alsoKept);

// A query value as it may stand in a URL: A-Z a-z 0-9 - . _ ~ unchanged.
// Raw, a "%", "&", "#" or "+" in a value would reach the service garbled or
// split into other keys.
std::string PercentEncodeQueryValue(std::string_view value);

// Percent-encodes every byte that may not stand in an HTTP request target
// (blanks, control bytes, bytes from 0x80 up, and " # < > [ \ ] ^ ` { | }),
// so that no path can break the request line or add a header. Bytes that
// are already legal, "%" included, pass unchanged.
std::string EncodeRequestTarget(const std::string& path);

}  // namespace nimbrel
