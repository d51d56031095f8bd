#pragma once
// What answers "/tr": a text in Windows-1252 and a pair such as "en_es".

#include <chrono>
#include <string>

namespace nimbrel::services {

// The plug-in gives up on a request after 5 s, so the services answer
// within 4: a translation is given this long, all waiting included.
inline constexpr std::chrono::milliseconds kTranslationTimeLimit{3500};

struct Translation {
    enum class Outcome { Translated, UnsupportedPair, Failed };
    Outcome outcome = Outcome::Failed;
    std::string text;  // Windows-1252, when translated
};

// Called from many server threads at once.
class Translator {
public:
    virtual ~Translator() = default;
    virtual Translation Translate(const std::string& text, const std::string& pair) const = 0;
};

}  // namespace nimbrel::services
