// Speech workers against the recording voice, which stands for CLSID_SpVoice
// through an activation context: what each worker asked the voice to say, on
// which thread, and when.
//
// Under qemu, a thread created while another is still starting can bring
// the Wine process down (measured here with bare threads), so a test lets
// one worker begin speaking before it starts the next.

#include <windows.h>
#include <sapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "recording_voice/voice_log.h"
#include "recording_voice/voice_activation.h"
#include "speech/start_speech.h"
#include "test_paths.h"

using namespace nimbrel;
using namespace nimbrel::host;

namespace {

// Generous: under emulation a worker's start alone can take a second.
constexpr DWORD kTimeoutMs = 30000;
// Long enough that a second worker starts while the first still speaks.
constexpr DWORD kSlowSpeechMs = 1500;

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Letters in a sequence that repeats only every 676 characters, so that a
// cut or a shift shows.
std::string Letters(size_t count) {
    std::string text(count, ' ');
    for (size_t i = 0; i < count; ++i) text[i] = static_cast<char>('a' + (i + i / 26) % 26);
    return text;
}

bool Eventually(const std::function<bool()>& condition) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kTimeoutMs) return false;
        Sleep(20);
    }
    return true;
}

bool ThreadEnds(DWORD threadId) {
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (!thread) return true;  // already gone
    DWORD waited = WaitForSingleObject(thread, kTimeoutMs);
    CloseHandle(thread);
    return waited == WAIT_OBJECT_0;
}

class SpeechWorkerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(voice_.active()); }

    VoiceLog log;

private:
    VoiceActivation voice_{BesideTests(L"recording_voice.manifest")};
};

// Without this, every other test here would be checking Wine's own voice.
TEST_F(SpeechWorkerTest, TheVoiceCreatedForTheClassIsTheRecordingOne) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ISpVoice* voice = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                               IID_ISpVoice, reinterpret_cast<void**>(&voice)),
              S_OK);
    EXPECT_EQ(voice->Speak(L"probe", 0, nullptr), S_OK);
    voice->Release();
    CoUninitialize();

    std::vector<SpokenText> spoken = log.Read();
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, L"probe");
    EXPECT_EQ(spoken[0].threadId, GetCurrentThreadId());
}

TEST_F(SpeechWorkerTest, StartSpeechHasAWorkerSayTheTextSynchronously) {
    EXPECT_EQ(StartSpeech("hello"), 1);
    DWORD worker = speechThreadId;
    EXPECT_NE(worker, 0u);
    EXPECT_NE(worker, GetCurrentThreadId());

    std::vector<SpokenText> spoken = log.WaitForEnded(1, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, L"hello");
    EXPECT_EQ(spoken[0].threadId, worker);
    EXPECT_EQ(spoken[0].flags, 0u);
    EXPECT_TRUE(ThreadEnds(worker));
}

TEST_F(SpeechWorkerTest, TwoTextsAreSpokenAtOnceWithoutHoldingUpTheCaller) {
    log.SetDelay(kSlowSpeechMs);
    EXPECT_EQ(StartSpeech("first"), 1);
    ASSERT_EQ(log.WaitForBegun(1, kTimeoutMs).size(), 1u);
    EXPECT_EQ(StartSpeech("second"), 1);
    for (const SpokenText& call : log.Read()) EXPECT_FALSE(call.ended) << "a starter waited for the speech";

    std::vector<SpokenText> spoken = log.WaitForEnded(2, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 2u);
    ASSERT_TRUE(spoken[0].ended && spoken[1].ended);
    EXPECT_NE(spoken[0].text, spoken[1].text);
    for (const SpokenText& call : spoken) EXPECT_TRUE(call.text == L"first" || call.text == L"second");
    EXPECT_NE(spoken[0].threadId, spoken[1].threadId);
    // Each began before the other ended.
    EXPECT_LT(spoken[1].began, *spoken[0].ended);
    EXPECT_LT(spoken[0].began, *spoken[1].ended);
}

TEST_F(SpeechWorkerTest, ATextOf4095CharactersIsSpokenWhole) {
    std::string text = Letters(4095);
    StartSpeech(text.c_str());
    std::vector<SpokenText> spoken = log.WaitForEnded(1, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, Widen(text));
}

TEST_F(SpeechWorkerTest, LongerTextsAreCutTo4095Characters) {
    std::string justOver = Letters(4096);
    std::string wellOver = Letters(20000);
    StartSpeech(justOver.c_str());
    ASSERT_EQ(log.WaitForBegun(1, kTimeoutMs).size(), 1u);
    StartSpeechWorker(wellOver.c_str());
    std::vector<SpokenText> spoken = log.WaitForEnded(2, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 2u);
    for (const SpokenText& call : spoken) EXPECT_EQ(call.text, Widen(Letters(4095)));
}

TEST_F(SpeechWorkerTest, AnEmptyOrNullTextIsSpokenAsAnEmptyText) {
    StartSpeech("");
    DWORD first = speechThreadId;
    ASSERT_EQ(log.WaitForBegun(1, kTimeoutMs).size(), 1u);
    StartSpeech(nullptr);
    DWORD second = speechThreadId;
    std::vector<SpokenText> spoken = log.WaitForEnded(2, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 2u);
    for (const SpokenText& call : spoken) EXPECT_EQ(call.text, L"");
    EXPECT_TRUE(ThreadEnds(first));
    EXPECT_TRUE(ThreadEnds(second));
}

TEST_F(SpeechWorkerTest, BytesAboveAsciiAreReadInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the prefix's code page is " << GetACP();
    StartSpeech("20\xB0" "C, caf\xE9 \x80");
    std::vector<SpokenText> spoken = log.WaitForEnded(1, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, L"20\u00B0C, caf\u00E9 \u20AC");
}

// The weather report hands over its speech text and goes on to reuse it.
TEST_F(SpeechWorkerTest, TheCallersTextMayChangeAsSoonAsTheStarterReturns) {
    char speechText[1024] = "Current weather for Nice";
    DWORD worker = StartSpeechWorker(speechText);
    EXPECT_NE(worker, 0u);
    EXPECT_EQ(speechThreadId, worker);
    std::memset(speechText, 'x', sizeof speechText - 1);

    std::vector<SpokenText> spoken = log.WaitForEnded(1, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, L"Current weather for Nice");
}

// The host frees the library mid-speech: one worker is speaking, another
// has only just been started. Both finish, and only then does the library go.
TEST_F(SpeechWorkerTest, TheLibraryOutlivesItsWorkersWhenTheHostFreesIt) {
    log.SetDelay(kSlowSpeechMs);
    HMODULE library = LoadLibraryW(BesideTests(L"speech_starter.dll").c_str());
    ASSERT_NE(library, nullptr);
    auto start = reinterpret_cast<int (*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(library, "StartSpeechInLibrary")));
    ASSERT_NE(start, nullptr);

    EXPECT_EQ(start("spoken while the library goes"), 1);
    ASSERT_EQ(log.WaitForBegun(1, kTimeoutMs).size(), 1u);
    EXPECT_EQ(start("started just before"), 1);
    ASSERT_TRUE(FreeLibrary(library));
    EXPECT_NE(GetModuleHandleW(L"speech_starter.dll"), nullptr);

    std::vector<SpokenText> spoken = log.WaitForEnded(2, kTimeoutMs);
    ASSERT_EQ(spoken.size(), 2u);
    EXPECT_EQ(spoken[0].text, L"spoken while the library goes");
    EXPECT_EQ(spoken[1].text, L"started just before");
    EXPECT_TRUE(Eventually([] { return GetModuleHandleW(L"speech_starter.dll") == nullptr; }))
        << "a worker kept the library loaded";
}

// A voice class whose server cannot be loaded: as on a system with no
// speech engine, the worker ends having said nothing.
TEST(SpeechWithoutVoice, TheWorkerEndsQuietly) {
    VoiceLog log;
    VoiceActivation missing(BesideTests(L"missing_voice.manifest"));
    ASSERT_TRUE(missing.active());

    EXPECT_EQ(StartSpeech("unheard"), 1);
    DWORD worker = speechThreadId;
    ASSERT_NE(worker, 0u);
    EXPECT_TRUE(ThreadEnds(worker));
    EXPECT_TRUE(log.Read().empty());
}

}  // namespace
