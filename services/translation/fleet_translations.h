#pragma once
// Translations shared by the gateways of a fleet, in their store (see
// support/shared_store.h), in front of this gateway's own translators: a
// piece one gateway translated is not translated again by another. Only
// translations are stored, never failures or unsupported pairs, and each
// stays a while, then goes. A store out of reach only costs the lookup.

#include <chrono>
#include <cstddef>
#include <string>

#include "services/support/shared_store.h"
#include "services/translation/translator.h"

namespace nimbrel::services {

// A translated piece is a report's label or value, or a line typed to /tr.
inline constexpr std::size_t kFleetTranslationBytes = 64 * 1024;
inline constexpr std::chrono::milliseconds kFleetTranslationKeep{std::chrono::hours(24 * 7)};

class FleetTranslations : public Translator {
public:
    // Both must outlive this object.
    FleetTranslations(const Translator& translator, const SharedStore& fleet)
        : translator_(translator), fleet_(fleet) {}

    Translation Translate(const std::string& text, const std::string& pair) const override;

private:
    const Translator& translator_;
    const SharedStore& fleet_;
};

}  // namespace nimbrel::services
