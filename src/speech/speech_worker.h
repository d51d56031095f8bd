#pragma once

#include <windows.h>

// The thread procedure that reads one text aloud and ends. Its parameter is
// a SpeechJob from MakeSpeechJob, which the worker owns from then on. The
// job's pinned module is released as the thread exits, so the code stays
// mapped until the worker no longer runs in it.
DWORD WINAPI SpeechWorker(LPVOID job);
