#pragma once
// What a LibreTranslate server's GET /languages says it translates, and
// the plug-in's two-letter codes in the server's own codes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::services {

struct LibreTranslateLanguage {
    std::string code;
    std::string name;
    std::vector<std::string> targets;
};

// The list, from the JSON answer; nullopt when it is no list of languages.
// Entries without a code are left out.
std::optional<std::vector<LibreTranslateLanguage>> ParseLibreTranslateLanguages(std::string_view json);

// The server's code for a plug-in code, or empty when it lacks the
// language. The plug-in's "zh" is simplified and "zt" traditional Chinese:
// servers name them "zh"/"zt" or "zh-Hans"/"zh-Hant", so the names and
// codes they list decide.
std::string LibreTranslateCode(std::string_view pluginCode, const std::vector<LibreTranslateLanguage>& languages);

// Whether the server translates from one of its codes to another: both
// listed, and the target among the source's targets when it lists them.
bool LibreTranslateHasPair(std::string_view source, std::string_view target,
                           const std::vector<LibreTranslateLanguage>& languages);

}  // namespace nimbrel::services
