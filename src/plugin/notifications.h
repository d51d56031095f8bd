#pragma once
// The two notifications the plug-in answers. The dispatcher writes their
// names into a notification request; the host hands them back apart.

namespace nimbrel {

inline constexpr char kSongNotification[] = "soniq";
inline constexpr char kSpeakNotification[] = "speak";

// "soniq" shows the song toast with the data, "speak" reads the data aloud
// on a worker; both empty the output buffer (when there is one) and answer 1.
// Any other name, one differing only in case included, answers 0 and leaves
// the output untouched.
int HandleNotification(const char* name, const char* data, char* output) noexcept;

}  // namespace nimbrel
