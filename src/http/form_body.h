#pragma once
// The url-encoded body of a form post: name=value pairs joined by "&".
// Names and values go out byte for byte: callers encode them.

#include <cstddef>

#include "http_types.h"

namespace nimbrel {

std::size_t FormBodyLength(const FormFieldList& fields);

// Writes the body into a zero-filled block of FormBodyLength + 1 bytes.
void WriteFormBody(const FormFieldList& fields, char* block);

}  // namespace nimbrel
