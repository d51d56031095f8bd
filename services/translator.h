#pragma once
// What answers "/tr": a text in Windows-1252 and a pair such as "en_es".

#include <string>

namespace services {

struct Translation {
    enum class Outcome { Translated, UnsupportedPair, Failed };
    Outcome outcome = Outcome::Failed;
    std::string text;  // Windows-1252, when translated
};

class Translator {
public:
    virtual ~Translator() = default;
    virtual Translation Translate(const std::string& text, const std::string& pair) const = 0;
};

}  // namespace services
