// nimbrel-host.exe as the front end runs it: lines in through a pipe, events
// out through another, and its windows answering other programs all along.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "test_paths.h"
#include "toast_window.h"

using namespace nimbrel::host;

namespace {

constexpr DWORD kStartMs = 60000;
constexpr DWORD kAnswerMs = 5000;

// A program with pipes for its input and output.
class PipedProgram {
public:
    explicit PipedProgram(std::string commandLine) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE childInput = nullptr, childOutput = nullptr;
        if (!CreatePipe(&childInput, &input_, &inherit, 0) || !CreatePipe(&output_, &childOutput, &inherit, 0)) return;
        SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
            process_ = process.hProcess;
            CloseHandle(process.hThread);
        }
        CloseHandle(childInput);
        CloseHandle(childOutput);
    }
    ~PipedProgram() {
        CloseHandle(input_);
        if (process_ && WaitForSingleObject(process_, kAnswerMs) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        CloseHandle(process_);
        CloseHandle(output_);
    }
    bool started() const { return process_ != nullptr; }

    bool Write(const std::string& text) {
        DWORD written = 0;
        return WriteFile(input_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }
    void CloseInput() {
        CloseHandle(input_);
        input_ = nullptr;
    }

    // Output up to and including the first line that holds the text; what
    // came so far when it does not come within the time.
    std::string ReadUntil(const std::string& text, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        while (received_.find(text) == std::string::npos && GetTickCount() - start < timeoutMs) {
            DWORD waiting = 0;
            if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &waiting, nullptr)) break;
            if (waiting == 0) {
                Sleep(10);
                continue;
            }
            char bytes[4096];
            DWORD got = 0;
            if (!ReadFile(output_, bytes, sizeof bytes, &got, nullptr) || got == 0) break;
            received_.append(bytes, got);
        }
        return received_;
    }

    // Its exit status; STILL_ACTIVE when it did not end in time.
    DWORD ExitStatus(DWORD timeoutMs) {
        DWORD status = STILL_ACTIVE;
        if (WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process_, &status);
        return status;
    }

private:
    HANDLE input_ = nullptr;
    HANDLE output_ = nullptr;
    HANDLE process_ = nullptr;
    std::string received_;
};

TEST(HostProgram, AnswersWindowMessagesWhileWaitingForALine) {
    PipedProgram host("\"" + BesideTests("nimbrel-host.exe") + "\" --plugin \"" + BesideTests("fixture_plugin.dll") + "\"");
    ASSERT_TRUE(host.started());
    ASSERT_NE(host.ReadUntil("\"event\":\"loaded\"", kStartMs).find("\"loaded\""), std::string::npos);

    // Idle at its input, the host still takes what other programs send it.
    HWND window = FindWindowA(kToastWindowClass, nullptr);
    ASSERT_NE(window, nullptr);
    DWORD_PTR result = 0;
    const auto start = std::chrono::steady_clock::now();
    const LRESULT answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result);
    const auto waitedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(answered, 0) << "no answer within " << waitedMs << " ms";
    RecordProperty("answerMs", static_cast<int>(waitedMs));

    // And the lines still arrive, each followed by its done event.
    ASSERT_TRUE(host.Write("/keep\r\n"));
    const std::string events = host.ReadUntil("\"event\":\"done\"", kAnswerMs);
    EXPECT_NE(events.find("{\"event\":\"command\",\"line\":\"/keep\""), std::string::npos) << events;
    EXPECT_NE(events.find("{\"event\":\"done\",\"line\":\"/keep\"}"), std::string::npos) << events;
    ASSERT_TRUE(host.Write(":quit\n"));
    host.CloseInput();
    EXPECT_EQ(host.ExitStatus(kAnswerMs), 0u);
}

}  // namespace
