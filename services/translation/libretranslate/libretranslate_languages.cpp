#include "services/translation/libretranslate/libretranslate_languages.h"

#include <nlohmann/json.hpp>

#include <algorithm>

#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

enum class Script { None, Simplified, Traditional };

// Which Chinese an entry is: its name says so when it names a script;
// else its code does.
Script ChineseScript(const LibreTranslateLanguage& language) {
    const std::string code = AsciiLowered(language.code);
    const std::string name = AsciiLowered(language.name);
    const bool chinese = code == "zt" || code == "zh" || StartsWith(code, "zh-");
    if (!chinese) return Script::None;
    if (name.find("traditional") != std::string::npos) return Script::Traditional;
    if (name.find("simplified") != std::string::npos) return Script::Simplified;
    if (code == "zt" || code == "zh-hant" || code == "zh-tw" || code == "zh-hk") return Script::Traditional;
    return Script::Simplified;
}

const LibreTranslateLanguage* Find(std::string_view code, const std::vector<LibreTranslateLanguage>& languages) {
    const auto found = std::find_if(languages.begin(), languages.end(),
                                    [code](const LibreTranslateLanguage& language) { return language.code == code; });
    return found == languages.end() ? nullptr : &*found;
}

std::string StringField(const nlohmann::json& object, const char* key) {
    const auto field = object.find(key);
    return field != object.end() && field->is_string() ? field->get<std::string>() : std::string();
}

}  // namespace

std::optional<std::vector<LibreTranslateLanguage>> ParseLibreTranslateLanguages(std::string_view json) {
    const auto list = nlohmann::json::parse(json, nullptr, false);
    if (!list.is_array()) return std::nullopt;
    std::vector<LibreTranslateLanguage> languages;
    for (const auto& entry : list) {
        if (!entry.is_object()) continue;
        LibreTranslateLanguage language{StringField(entry, "code"), StringField(entry, "name"), {}};
        if (language.code.empty()) continue;
        const auto targets = entry.find("targets");
        if (targets != entry.end() && targets->is_array()) {
            for (const auto& target : *targets) {
                if (target.is_string()) language.targets.push_back(target.get<std::string>());
            }
        }
        languages.push_back(std::move(language));
    }
    return languages;
}

std::string LibreTranslateCode(std::string_view pluginCode, const std::vector<LibreTranslateLanguage>& languages) {
    const std::string code = AsciiLowered(pluginCode);
    if (code == "zh" || code == "zt") {
        const Script wanted = code == "zh" ? Script::Simplified : Script::Traditional;
        for (const LibreTranslateLanguage& language : languages) {
            if (ChineseScript(language) == wanted) return language.code;
        }
        return {};
    }
    return Find(code, languages) ? code : std::string();
}

bool LibreTranslateHasPair(std::string_view source, std::string_view target,
                           const std::vector<LibreTranslateLanguage>& languages) {
    const LibreTranslateLanguage* from = Find(source, languages);
    if (!from || !Find(target, languages)) return false;
    return from->targets.empty() ||
           std::find(from->targets.begin(), from->targets.end(), target) != from->targets.end();
}

}  // namespace nimbrel::services
