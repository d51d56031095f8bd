#include "replace_first.h"

namespace nimbrel {

bool ReplaceFirst(std::string& text, std::string_view what, std::string_view with,
                  std::size_t from) {
    const std::size_t at = std::string_view(text).find(what, from);
    if (at == std::string_view::npos) return false;
    text.replace(at, what.size(), with);
    return true;
}

}  // namespace nimbrel
