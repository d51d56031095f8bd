#include "player_commands.h"

#include "find_player.h"
#include "post_keystroke.h"

namespace {

struct PlayerCommand {
    WPARAM winampCommand;  // WM_COMMAND number
    char key;              // keystroke for "Studio" and Sonique
    bool soniqueRepeats;   // Sonique gets the key again after kSoniqueRepeatDelayMs
};

constexpr PlayerCommand kAdd{40029, 'l', false};
constexpr PlayerCommand kPlay{40045, 'x', false};
constexpr PlayerCommand kPause{40046, 'c', false};
constexpr PlayerCommand kStop{40047, 'v', false};
constexpr PlayerCommand kNext{40048, 'b', false};
constexpr PlayerCommand kPrevious{40044, 'z', true};

void SendWinampCommand(HWND window, WPARAM command) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_COMMAND, command, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kPlayerCommandTimeoutMs, &ignored);
}

void Run(const PlayerCommand& command) {
    HWND window = FindPlayer(NoPlayer);
    if (window == nullptr) return;
    switch (CurrentPlayerKind()) {
        case Winamp:
            SendWinampCommand(window, command.winampCommand);
            break;
        case Studio:
            PostKeystroke(window, command.key);
            break;
        case Sonique:
            PostKeystroke(window, command.key);
            if (command.soniqueRepeats) {
                Sleep(kSoniqueRepeatDelayMs);
                PostKeystroke(window, command.key);
            }
            break;
        case NoPlayer:
            break;
    }
}

}  // namespace

void PlayerAdd() { Run(kAdd); }
void PlayerPlay() { Run(kPlay); }
void PlayerPause() { Run(kPause); }
void PlayerStop() { Run(kStop); }
void PlayerNext() { Run(kNext); }
void PlayerPrevious() { Run(kPrevious); }
