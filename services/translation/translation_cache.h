#pragma once
// Translations remembered in front of another translator: a report's
// labels and units come back in every report, so a second report in the
// same language asks only for its new values. The least recently used
// go first once the texts held pass the capacity in bytes. Failures and
// unsupported pairs are not remembered.

#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "services/support/metrics.h"
#include "services/translation/translator.h"

namespace nimbrel::services {

inline constexpr std::size_t kTranslationCacheBytes = 4u << 20;

class TranslationCache : public Translator {
public:
    explicit TranslationCache(const Translator& translator, std::size_t capacityBytes = kTranslationCacheBytes);

    Translation Translate(const std::string& text, const std::string& pair) const override;

    // What the remembered translations take, by the cache's own count.
    std::size_t bytes() const;
    const Counter& hits() const { return hits_; }
    const Counter& misses() const { return misses_; }

private:
    struct Entry {
        std::string key;  // pair, NUL, text
        std::string translation;
    };

    const Translator& translator_;
    const std::size_t capacityBytes_;
    mutable std::mutex mutex_;
    mutable std::list<Entry> entries_;  // the most recently used first
    mutable std::unordered_map<std::string_view, std::list<Entry>::iterator> index_;  // views of entries' keys
    mutable std::size_t bytes_ = 0;
    mutable Counter hits_;
    mutable Counter misses_;
};

}  // namespace nimbrel::services
