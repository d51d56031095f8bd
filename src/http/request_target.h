#pragma once

#include <string>

// Percent-encodes every byte that may not stand in an HTTP request target
// (blanks, control bytes, bytes from 0x80 up, and " # < > [ \ ] ^ ` { | }),
// so that no path can break the request line or add a header. Bytes that
// are already legal, "%" included, pass unchanged.
std::string EncodeRequestTarget(const std::string& path);
