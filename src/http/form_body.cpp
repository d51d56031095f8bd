#include "form_body.h"

#include <cstring>

namespace nimbrel {

std::size_t FormBodyLength(const FormFieldList& fields) {
    std::size_t length = 0;
    for (const FormField& field : fields) length += field.name.size() + field.value.size() + 2;
    return length == 0 ? 0 : length - 1;
}

void WriteFormBody(const FormFieldList& fields, char* block) {
    char* out = block;
    for (const FormField& field : fields) {
        if (out != block) *out++ = '&';
        std::memcpy(out, field.name.data(), field.name.size());
        out += field.name.size();
        *out++ = '=';
        std::memcpy(out, field.value.data(), field.value.size());
        out += field.value.size();
    }
}

}  // namespace nimbrel
