#pragma once
// The dispatcher's own answers and notices.

namespace nimbrel {

inline constexpr char kNotificationStart = '\x12';

inline constexpr char kOptionsToastTitle[] = "Nimbrel Plugin's options";
inline constexpr char kSpeechOffToast[] = "NimbrelPlugin will not speech results";
inline constexpr char kSpeechOnToast[] = "NimbrelPlugin will speech english results";

inline constexpr char kBadCodeToastTitle[] = "Bad Code Town";
inline constexpr char kBadCodeToastLead[] = "Please check your town's code at\r\n";
// Where the station codes can be looked up: the weather service's base
// address followed by this path.
inline constexpr char kStationListPagePath[] = "/international.html";

// The answers to the player commands; "Play " is followed by the title.
inline constexpr char kPlayAnswer[] = "Play ";
inline constexpr char kPauseAnswer[] = "Pause";
inline constexpr char kStopAnswer[] = "Stop";

// The toast shown instead when no player runs.
inline constexpr char kPlayerNotRunningToastText[] =
    "Your player isn't running\r\nPlease launch your player before\r\nto use these commands";
inline constexpr char kPlayerNotRunningToastTitle[] = "Command error";

}  // namespace nimbrel
