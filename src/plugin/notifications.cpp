#include "notifications.h"

#include <cstring>

#include "speech/start_speech.h"
#include "toast.h"

namespace nimbrel {

namespace {

constexpr char kSongToastTitle[] = "Current Playing Song";

void Empty(char* output) {
    if (output) output[0] = '\0';
}

}  // namespace

int HandleNotification(const char* name, const char* data, char* output) noexcept {
    if (!name) return 0;
    if (!data) data = "";
    if (std::strcmp(name, kSongNotification) == 0) {
        // An empty link, not a null one, goes with the song.
        SendToast(data, kSongToastTitle, "", false);
        Empty(output);
        return 1;
    }
    if (std::strcmp(name, kSpeakNotification) == 0) {
        StartSpeech(data);
        Empty(output);
        return 1;
    }
    return 0;
}

}  // namespace nimbrel
