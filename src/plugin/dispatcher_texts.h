#pragma once
// The dispatcher's own notices.

inline constexpr char kNotificationStart = '\x12';

inline constexpr char kOptionsToastTitle[] = "Nimbrel Plugin's options";
inline constexpr char kSpeechOffToast[] = "NimbrelPlugin will not speech results";
inline constexpr char kSpeechOnToast[] = "NimbrelPlugin will speech english results";

inline constexpr char kBadCodeToastTitle[] = "Bad Code Town";
inline constexpr char kBadCodeToastLead[] = "Please check your town's code at\r\n";
// Where the station codes can be looked up: the weather service's base
// address followed by this path.
inline constexpr char kStationListPagePath[] = "/international.html";
