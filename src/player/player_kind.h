#pragma once
// Which media player a chat command drives, told by its main window's class.

enum PlayerKind {
    NoPlayer = 0,
    Winamp = 2,
    Studio = 3,
    Sonique = 4,
};
