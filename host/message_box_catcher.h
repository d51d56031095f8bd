#pragma once
// Captures every message box opened on the thread that creates the catcher
// (caption, text, owner, style) and, unless told otherwise, answers it with
// its default button, as a person clicking OK would.

#include <windows.h>

#include <map>
#include <set>

#include "host_events.h"
#include "win_handles.h"

namespace nimbrel::host {

class MessageBoxCatcher {
public:
    MessageBoxCatcher(EventSink& sink, bool answerBoxes);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWindowHook(int code, WPARAM wParam, LPARAM lParam);
    void Initializing(HWND box, LPARAM parameters);
    void Activated(HWND box);
    void Destroyed(HWND box);

    EventSink& sink_;
    bool answerBoxes_;
    MessageBoxCatcher* previous_;
    std::map<HWND, UINT> styles_;
    std::set<HWND> recorded_;
    UniqueHook cbtHook_;
    UniqueHook callWindowHook_;
};

}  // namespace nimbrel::host
