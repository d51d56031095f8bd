#pragma once
// Makes the voice class that a manifest declares the one COM creates, on
// this thread and on every thread it starts (they inherit the activation
// context), for as long as this lives. Nothing is written to the registry.
// Wine 8.0's COM reads classes from the machine's registry only, so a
// per-user registration would not take, and a machine one would outlive a
// test that crashes.

#include <windows.h>

#include <string>

#include "win_handles.h"

namespace nimbrel::host {

class VoiceActivation {
public:
    explicit VoiceActivation(const std::wstring& manifestPath);
    ~VoiceActivation();
    VoiceActivation(const VoiceActivation&) = delete;
    VoiceActivation& operator=(const VoiceActivation&) = delete;

    bool active() const { return cookie_ != 0; }

private:
    UniqueActivationContext context_;
    ULONG_PTR cookie_ = 0;
};

}  // namespace nimbrel::host
