#pragma once
// The dispatcher's answers to the player commands.

// Followed by the player's title.
inline constexpr char kPlayAnswer[] = "Play ";
inline constexpr char kPauseAnswer[] = "Pause";
inline constexpr char kStopAnswer[] = "Stop";

// The toast shown instead when no player runs.
inline constexpr char kPlayerNotRunningToastText[] =
    "Your player isn't running\r\nPlease launch your player before\r\nto use these commands";
inline constexpr char kPlayerNotRunningToastTitle[] = "Command error";
