#include "services/translation/fleet_translations.h"
#include "services/translation/translation_cache.h"
#include "services/translation/translator_chain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>

#include "tests/services/memory_store.h"

using nimbrel::services::Translation;
using Outcome = nimbrel::services::Translation::Outcome;

namespace {

// Knows the pairs it is given; "fail" fails; counts what it is asked.
class ScriptedTranslator : public nimbrel::services::Translator {
public:
    explicit ScriptedTranslator(std::string tag, std::vector<std::string> pairs)
        : tag_(std::move(tag)), pairs_(std::move(pairs)) {}

    Translation Translate(const std::string& text, const std::string& pair) const override {
        ++calls;
        if (std::find(pairs_.begin(), pairs_.end(), pair) == pairs_.end()) return {Outcome::UnsupportedPair, {}};
        if (text == "fail") return {Outcome::Failed, {}};
        return {Outcome::Translated, tag_ + ":" + text};
    }

    mutable std::atomic<int> calls{0};

private:
    std::string tag_;
    std::vector<std::string> pairs_;
};

}  // namespace

TEST(TranslationCache, RemembersTranslationsByPairAndText) {
    const ScriptedTranslator inner("t", {"en_es", "en_fr"});
    const nimbrel::services::TranslationCache cache(inner);
    EXPECT_EQ(cache.Translate("Wind", "en_es").text, "t:Wind");
    EXPECT_EQ(cache.Translate("Wind", "en_es").text, "t:Wind");
    EXPECT_EQ(inner.calls, 1);
    EXPECT_EQ(cache.Translate("Wind", "en_fr").text, "t:Wind");
    EXPECT_EQ(cache.Translate("Wind ", "en_fr").text, "t:Wind ");
    EXPECT_EQ(inner.calls, 3);

    // Failures and unknown pairs are asked again each time.
    EXPECT_EQ(cache.Translate("fail", "en_es").outcome, Outcome::Failed);
    EXPECT_EQ(cache.Translate("fail", "en_es").outcome, Outcome::Failed);
    EXPECT_EQ(cache.Translate("Wind", "en_de").outcome, Outcome::UnsupportedPair);
    EXPECT_EQ(cache.Translate("Wind", "en_de").outcome, Outcome::UnsupportedPair);
    EXPECT_EQ(inner.calls, 7);
}

TEST(TranslationCache, TheLeastRecentlyUsedGoFirstWithinItsBytes) {
    const ScriptedTranslator inner("t", {"en_es"});
    // Room for three entries of this size, by the cache's count.
    const nimbrel::services::TranslationCache probe(inner);
    probe.Translate("a", "en_es");
    const std::size_t entry = probe.bytes();
    const nimbrel::services::TranslationCache cache(inner, 3 * entry + entry / 2);
    inner.calls = 0;

    for (const char* text : {"a", "b", "c", "a", "d"}) cache.Translate(text, "en_es");  // "b" goes
    EXPECT_EQ(inner.calls, 4);
    EXPECT_LE(cache.bytes(), 3 * entry + entry / 2);
    for (const char* text : {"a", "c", "d"}) cache.Translate(text, "en_es");
    EXPECT_EQ(inner.calls, 4);
    cache.Translate("b", "en_es");
    EXPECT_EQ(inner.calls, 5);

    // A translation larger than the whole cache is not kept.
    const nimbrel::services::TranslationCache tiny(inner, entry / 2);
    tiny.Translate("a", "en_es");
    EXPECT_EQ(tiny.bytes(), 0u);
}

TEST(TranslatorChain, TheFirstThatHasThePairAnswers) {
    const ScriptedTranslator apertium("apertium", {"en_es"});
    const ScriptedTranslator libre("libre", {"en_es", "en_fr"});
    const nimbrel::services::TranslatorChain chain({&apertium, &libre});
    EXPECT_EQ(chain.Translate("Wind", "en_es").text, "apertium:Wind");
    EXPECT_EQ(chain.Translate("Wind", "en_fr").text, "libre:Wind");
    // A failure is the answer; it is not passed on.
    EXPECT_EQ(chain.Translate("fail", "en_es").outcome, Outcome::Failed);
    EXPECT_EQ(libre.calls, 1);
    EXPECT_EQ(chain.Translate("Wind", "en_ja").outcome, Outcome::UnsupportedPair);
    EXPECT_EQ(nimbrel::services::TranslatorChain({}).Translate("Wind", "en_es").outcome, Outcome::UnsupportedPair);
}

// Two gateways of a fleet: a piece one translated, the other does not.
TEST(FleetTranslations, APieceIsTranslatedOnceAcrossTheFleet) {
    MemoryStore store;
    const ScriptedTranslator first("first", {"en_es", "e\n_es"});
    const ScriptedTranslator second("second", {"en_es", "e\n_es"});
    const nimbrel::services::FleetTranslations one(first, store), other(second, store);
    EXPECT_EQ(one.Translate("Wind", "en_es").text, "first:Wind");
    EXPECT_EQ(other.Translate("Wind", "en_es").text, "first:Wind");
    EXPECT_EQ(second.calls, 0);

    // What is not a translation stays out of the store; so do pairs that
    // are none, and a store out of reach asks the gateway's own.
    other.Translate("fail", "en_es");
    other.Translate("Wind", "en_ja");
    other.Translate("Wind", "e\n_es");
    EXPECT_EQ(store.values.size(), 1u);
    store.reachable = false;
    EXPECT_EQ(other.Translate("Wind", "en_es").text, "second:Wind");
    EXPECT_EQ(second.calls, 4);

    // One too long for the store is neither stored nor read back.
    store.reachable = true;
    const std::string longText(nimbrel::services::kFleetTranslationBytes, 'x');
    one.Translate(longText, "en_es");
    EXPECT_EQ(store.values.size(), 1u);
}
