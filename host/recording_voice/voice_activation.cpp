#include "voice_activation.h"

VoiceActivation::VoiceActivation(const std::wstring& manifestPath) {
    ACTCTXW description = {};
    description.cbSize = sizeof description;
    description.lpSource = manifestPath.c_str();
    context_ = CreateActCtxW(&description);
    if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) cookie_ = 0;
}

VoiceActivation::~VoiceActivation() {
    if (cookie_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}
