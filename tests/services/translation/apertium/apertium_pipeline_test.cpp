#include "services/translation/apertium/apertium_mode_file.h"
#include "services/translation/apertium/apertium_pipeline.h"
#include "services/translation/apertium/apertium_stream_text.h"
#include "services/translation/apertium/apertium_translator.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cerrno>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace std::string_literals;
using nimbrel::services::ApertiumPipeline;
using nimbrel::services::Translation;

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kEngSpa[] = "eng-spa";

std::optional<std::vector<std::string>> EngSpaCommand() {
    return nimbrel::services::NullFlushCommand(std::string(nimbrel::services::kApertiumModesFolder) + "/" + kEngSpa + ".mode");
}

}  // namespace

TEST(ApertiumModeFile, EveryStageGetsTheNullFlushSwitchOnce) {
    EXPECT_EQ(nimbrel::services::NullFlushPipeline("lt-proc 'a|b.bin' | apertium-tagger -g $2 \"c d\" |lt-proc -z -p 'e'\n"),
              "lt-proc -z 'a|b.bin' | apertium-tagger -z -g $2 \"c d\" |lt-proc -z -p 'e'");
    EXPECT_EQ(nimbrel::services::NullFlushPipeline("'/opt/my tools/lt-proc' x"), "'/opt/my tools/lt-proc' -z x");
}

TEST(ApertiumStreamText, EscapesKeepsBlanksAsideAndUndoesBoth) {
    EXPECT_EQ(nimbrel::services::ApertiumRequest("a [b]  $5\r\nc\\d", "[#1]"),
              "a \\[b\\][  ]\\$5[\r\n]c\\\\d.[][#1]\0"s);
    // "~" with the blanks around it, as the plain-text deformatter keeps it.
    EXPECT_EQ(nimbrel::services::ApertiumRequest("a~b ~ c", "[#2]"), "a[~]b[ ~ ]c.[][#2]\0"s);
    EXPECT_EQ(nimbrel::services::ApertiumAnswerText("Hola..[]"), "Hola.");
    EXPECT_EQ(nimbrel::services::ApertiumAnswerText("Un[  ]\\$5[\r\n]b \\[x\\].[]"), "Un  $5\r\nb [x]");
    // The tools may eat the added sentence end.
    EXPECT_EQ(nimbrel::services::ApertiumAnswerText("Viento[]"), "Viento");
}

// cat answers each request with itself, marker and NUL included: what
// goes in comes back out, blanks at either end and specials kept.
TEST(ApertiumPipeline, ATextComesBackThroughAnEchoAsItWent) {
    ApertiumPipeline echo({"cat"}, 2s);
    const std::string text = std::string(" 5 \\ [x] ^$/@<>{}  a\tb\r\n");
    EXPECT_EQ(echo.Translate(text), text);
    EXPECT_EQ(echo.Translate(std::string("a\0b", 3)), "a b");
    EXPECT_EQ(echo.Translate(" \r\n"), " \r\n");  // no words: not sent at all
    EXPECT_EQ(echo.Translate(""), "");
}

TEST(ApertiumPipeline, OneThatDiesOrNeverAnswersFailsAndGoes) {
    ApertiumPipeline exits({"true"}, 2s);
    EXPECT_FALSE(exits.Translate("rain"));
    EXPECT_EQ(exits.processGroup(), 0);

    ApertiumPipeline silent({"sleep", "30"}, 200ms);
    ASSERT_FALSE(silent.Translate("rain"));
    const auto start = Clock::now();
    EXPECT_FALSE(silent.Translate("snow"));  // a fresh one, as silent
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(silent.processGroup(), 0);

    ApertiumPipeline missing({"no-such-program-here"}, 2s);
    EXPECT_FALSE(missing.Translate("rain"));
}

// Run as a container's first process, the services inherit every orphan:
// the stages of a killed pipeline become their children and must be
// waited for. A subreaper stands in for that first process here.
TEST(ApertiumPipeline, AKilledPipelineLeavesNoStageBehind) {
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::vector<pid_t> groups;
    {
        ApertiumPipeline stages({"sh", "-c", "cat | cat | cat"}, 2s);
        // Four killed from outside, each then replaced; the last one goes
        // with the pipeline object.
        for (int kills = 0; kills <= 4; ++kills) {
            ASSERT_EQ(stages.Translate("rain"), "rain");
            groups.push_back(stages.processGroup());
            if (kills == 4) break;
            kill(-groups.back(), SIGKILL);
            siginfo_t info{};  // its shell dead, not yet reaped
            waitid(P_PID, static_cast<id_t>(groups.back()), &info, WEXITED | WNOWAIT);
        }
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    for (const pid_t group : groups) {
        siginfo_t info{};
        const int found = waitid(P_PGID, static_cast<id_t>(group), &info, WEXITED | WNOHANG | WNOWAIT);
        const int error = errno;
        EXPECT_TRUE(found == -1 && error == ECHILD) << "a process of group " << group << " is still ours";
    }
}

// The tests below need Apertium's English-Spanish data (scripts/setup).
class EngSpaPipeline : public testing::Test {
protected:
    void SetUp() override {
        const auto command = EngSpaCommand();
        if (!command) GTEST_SKIP() << "no eng-spa mode installed";
        // Longer than the services allow: a loaded machine may take
        // seconds over the 100 KB text.
        pipeline_.emplace(*command, 10s);
    }
    std::optional<ApertiumPipeline> pipeline_;
};

TEST_F(EngSpaPipeline, AHundredTranslationsThroughOneProcessGroup) {
    ASSERT_EQ(pipeline_->Translate("light rain"), "Lluvia ligera");
    const pid_t group = pipeline_->processGroup();
    ASSERT_GT(group, 0);
    const char* const pieces[][2] = {
        {"Wind", "Viento"},
        {"greater than 7 miles", "M\xC3\xA1s sumo que 7 millas"},
        {"Relative Humidity", "Humedad relativa"},
        {"partly cloudy\r\n", "En parte cloudy\r\n"},  // unknown words unmarked
        {" Kilometers per hour)", " Kil\xC3\xB3metros por hora)"},
    };
    for (int i = 0; i < 100; ++i) {
        const auto& piece = pieces[i % 5];
        ASSERT_EQ(pipeline_->Translate(piece[0]), piece[1]) << "request " << i;
    }
    EXPECT_EQ(pipeline_->processGroup(), group);
}

TEST_F(EngSpaPipeline, NulBytesLargeAndEmptyTexts) {
    EXPECT_EQ(pipeline_->Translate("light\0rain"s), "Lluvia ligera");
    EXPECT_EQ(pipeline_->Translate("a~b"), "Un~b") << "as the stock pipeline gives it";
    EXPECT_EQ(pipeline_->Translate(""), "");
    const std::string sentence = "The wind blows from the north.";
    const auto one = pipeline_->Translate(sentence);
    ASSERT_TRUE(one);
    std::string large;
    std::string expected;
    while (large.size() < 100 * 1024) {
        large += sentence + " ";
        expected += *one + " ";
    }
    EXPECT_EQ(pipeline_->Translate(large), expected);
    EXPECT_EQ(pipeline_->Translate("light rain"), "Lluvia ligera");  // still in step
}

TEST_F(EngSpaPipeline, KilledMidwayTheRequestFailsAndTheNextRestartsIt) {
    ASSERT_EQ(pipeline_->Translate("Wind"), "Viento");
    const pid_t group = pipeline_->processGroup();
    std::string large;
    while (large.size() < 300 * 1024) large += "The wind blows from the north. ";
    std::thread killer([group] {
        std::this_thread::sleep_for(50ms);
        kill(-group, SIGKILL);
    });
    const auto start = Clock::now();
    const auto killed = pipeline_->Translate(large);
    killer.join();
    EXPECT_FALSE(killed);
    EXPECT_LT(Clock::now() - start, 3s);
    EXPECT_EQ(pipeline_->Translate("Wind"), "Viento");
    EXPECT_NE(pipeline_->processGroup(), group);
}
