#include "speech_job.h"

#include <cstring>
#include <new>

std::unique_ptr<SpeechJob> MakeSpeechJob(const char* text) noexcept {
    std::unique_ptr<SpeechJob> job(new (std::nothrow) SpeechJob());
    if (job && text) {
        // strnlen: the caller's text need not be terminated within our buffer's reach.
        std::memcpy(job->text, text, strnlen(text, kSpeechTextSize - 1));
    }
    return job;
}
