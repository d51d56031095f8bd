// nimbrel-player.exe: a stand-in media player, for trying the player
// commands by hand (scripts/run --player KIND).
//
//   nimbrel-player.exe winamp|sonique|studio [TITLE]
//
// Opens a top-level window of the player's class, with TITLE as its text:
// the current song, as the plug-in reads it. Writes one line for the window
// and one for each message it is given. Reads lines on standard input:
// "title TEXT" sets the title; "sync" is answered with "synced" once every
// message posted before it has been handled. The input's end closes it.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "input_lines.h"
#include "player_window.h"

namespace nimbrel::host {
namespace {

struct Player {
    const char* kind;
    const char* className;
};

const Player kPlayers[] = {{"winamp", kWinampClass}, {"sonique", kSoniqueClass}, {"studio", kStudioClass}};

const char kDefaultTitle[] = "1. Stand-in Artist - Stand-in Song";
const char kTitleCommand[] = "title ";
const char kSyncCommand[] = "sync";

// Winamp's command numbers, as the player knows them.
const char* WinampCommand(WPARAM number) {
    switch (number) {
    case 40029: return "add";
    case 40044: return "previous";
    case 40045: return "play";
    case 40046: return "pause";
    case 40047: return "stop";
    case 40048: return "next";
    default: return "unknown";
    }
}

const char* MessageName(UINT message) {
    switch (message) {
    case WM_COMMAND: return "WM_COMMAND";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_CHAR: return "WM_CHAR";
    case WM_KEYUP: return "WM_KEYUP";
    default: return "message";
    }
}

void Show(const RecordedMessage& m) {
    if (m.message == WM_COMMAND) {
        std::printf("WM_COMMAND %u (%s)\n", static_cast<unsigned>(m.wParam), WinampCommand(m.wParam));
    } else {
        const int key = static_cast<int>(m.wParam & 0xFF);
        std::printf("%s key 0x%02X (%c), lParam 0x%lX\n", MessageName(m.message), key, std::isprint(key) ? key : '?',
                    static_cast<unsigned long>(m.lParam));
    }
    std::fflush(stdout);
}

int Main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const Player* player = nullptr;
    for (const Player& p : kPlayers)
        if (argc >= 2 && std::strcmp(argv[1], p.kind) == 0) player = &p;
    if (player == nullptr || argc > 3) {
        std::fputs("usage: nimbrel-player.exe winamp|sonique|studio [TITLE]\n", stderr);
        return 2;
    }

    PlayerWindow window(player->className, argc == 3 ? argv[2] : kDefaultTitle, PlayerWindow::Thread::Caller, &Show);
    if (window.window() == nullptr) {
        std::fprintf(stderr, "nimbrel-player.exe: no window of class \"%s\" (is one open already?)\n", player->className);
        return 1;
    }
    char title[2048] = "";
    GetWindowTextA(window.window(), title, sizeof title);
    std::printf("%s window (class \"%s\"), title \"%s\"\n", player->kind, player->className, title);
    std::fflush(stdout);

    // Waiting for a line, the window keeps taking its messages.
    InputLines input;
    std::string line;
    while (input.Next(line)) {
        if (line == kSyncCommand) {
            window.Messages();
            std::puts("synced");
        } else if (line.compare(0, sizeof kTitleCommand - 1, kTitleCommand) == 0) {
            const std::string text = line.substr(sizeof kTitleCommand - 1);
            SetWindowTextA(window.window(), text.c_str());
            std::printf("title \"%s\"\n", text.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace
}  // namespace nimbrel::host

int main(int argc, char** argv) { return nimbrel::host::Main(argc, argv); }
