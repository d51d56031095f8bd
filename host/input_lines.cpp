#include "input_lines.h"

#include <deque>
#include <mutex>

#include "line_buffer.h"
#include "message_wait.h"

namespace nimbrel::host {
namespace {

constexpr DWORD kReaderEndWaitMs = 1000;

}  // namespace

// Outlives the InputLines when its reader is still blocked in a read.
struct InputLines::Shared {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    UniqueHandle ready{CreateEventA(nullptr, TRUE, FALSE, nullptr)};  // lines or the end are waiting
    // The reader stays until the InputLines goes: a thread that ended in the
    // middle of a line's run would be taken for one the line started ending.
    UniqueHandle released{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::mutex mutex;
    std::deque<std::string> lines;
    bool ended = false;
};

InputLines::InputLines() : shared_(std::make_shared<Shared>()) {
    auto* reference = new std::shared_ptr<Shared>(shared_);
    reader_.reset(CreateThread(nullptr, 0, &InputLines::Read, reference, 0, nullptr));
    if (!reader_) {
        delete reference;
        shared_->ended = true;
    }
}

InputLines::~InputLines() {
    if (!reader_) return;
    SetEvent(shared_->released.get());
    WaitForSingleObject(reader_.get(), kReaderEndWaitMs);
}

DWORD WINAPI InputLines::Read(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<Shared>> reference(static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **reference;
    LineBuffer pending;
    char buffer[4096];
    DWORD got = 0;
    for (;;) {
        bool more = ReadFile(shared.input, buffer, sizeof buffer, &got, nullptr) && got > 0;
        std::unique_lock<std::mutex> lock(shared.mutex);
        if (!more) {
            if (std::optional<std::string> last = pending.Rest()) shared.lines.push_back(*last);
            shared.ended = true;
            SetEvent(shared.ready.get());
            lock.unlock();
            WaitForSingleObject(shared.released.get(), INFINITE);
            return 0;
        }
        pending.Append(std::string_view(buffer, got));
        while (std::optional<std::string> line = pending.Next()) shared.lines.push_back(*line);
        if (!shared.lines.empty()) SetEvent(shared.ready.get());
    }
}

bool InputLines::Next(std::string& line) {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(shared_->mutex);
            if (!shared_->lines.empty()) {
                line = shared_->lines.front();
                shared_->lines.pop_front();
                if (shared_->lines.empty() && !shared_->ended) ResetEvent(shared_->ready.get());
                return true;
            }
            if (shared_->ended) return false;
        }
        WaitDispatchingMessages(shared_->ready.get());
    }
}

}  // namespace nimbrel::host
