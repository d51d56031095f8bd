#pragma once
// Lines from standard input, read on a thread of their own, so that the
// thread waiting for the next one keeps answering its window messages: a
// window that stops answering freezes every program that sends to it.

#include <windows.h>

#include <memory>
#include <string>

#include "win_handles.h"

namespace nimbrel::host {

class InputLines {
public:
    InputLines();
    // Waits a moment for the reader to see the end of its input, so that the
    // process does not end with a thread still in a read.
    ~InputLines();
    InputLines(const InputLines&) = delete;
    InputLines& operator=(const InputLines&) = delete;

    // The next line without its line break (and a CR before it); false at
    // the end of the input. Messages for this thread's windows are
    // dispatched while it waits.
    bool Next(std::string& line);

private:
    struct Shared;
    static DWORD WINAPI Read(LPVOID shared);

    std::shared_ptr<Shared> shared_;
    UniqueHandle reader_;
};

}  // namespace nimbrel::host
