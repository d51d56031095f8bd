#include "services/translation/translation_cache.h"

namespace nimbrel::services {
namespace {

// Roughly what an entry costs beyond its texts: list node, index slot.
constexpr std::size_t kEntryOverhead = 128;

std::size_t Cost(std::size_t keyBytes, std::size_t translationBytes) {
    return keyBytes + translationBytes + kEntryOverhead;
}

}  // namespace

TranslationCache::TranslationCache(const Translator& translator, std::size_t capacityBytes)
    : translator_(translator), capacityBytes_(capacityBytes) {}

Translation TranslationCache::Translate(const std::string& text, const std::string& pair) const {
    std::string key = pair;
    key += '\0';
    key += text;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = index_.find(key);
        if (found != index_.end()) {
            entries_.splice(entries_.begin(), entries_, found->second);
            hits_.Add();
            return {Translation::Outcome::Translated, found->second->translation};
        }
    }
    misses_.Add();
    // Not under the lock: a translation may take seconds.
    Translation translation = translator_.Translate(text, pair);
    const std::size_t cost = Cost(key.size(), translation.text.size());
    if (translation.outcome != Translation::Outcome::Translated || cost > capacityBytes_) return translation;

    std::lock_guard<std::mutex> lock(mutex_);
    if (index_.count(key) != 0) return translation;  // another thread got there first
    entries_.push_front({std::move(key), translation.text});
    index_.emplace(entries_.front().key, entries_.begin());
    bytes_ += cost;
    while (bytes_ > capacityBytes_) {
        const Entry& oldest = entries_.back();
        bytes_ -= Cost(oldest.key.size(), oldest.translation.size());
        index_.erase(oldest.key);
        entries_.pop_back();
    }
    return translation;
}

std::size_t TranslationCache::bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

}  // namespace nimbrel::services
