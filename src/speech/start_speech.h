#pragma once
// The two ways a text is read aloud on a worker thread: StartSpeech for the
// "speak" notification, StartSpeechWorker for a weather report.

#include <windows.h>

namespace nimbrel {

// The identifier of the last worker either starter created; 0 after a
// failed start. Nothing reads it; it is there to find the worker by.
extern DWORD speechThreadId;

// Starts a worker on its own copy of the text (at most 4095 characters; a
// longer text is cut), so the caller's buffer may change or go as soon as
// this returns. The library stays loaded until the worker ends; nothing
// waits for it. Returns the worker's thread identifier, 0 when none started.
DWORD StartSpeechWorker(const char* text) noexcept;

// Always 1, whether or not a worker could be started.
int StartSpeech(const char* text) noexcept;

}  // namespace nimbrel
