#include "voice_activation.h"

namespace nimbrel::host {

VoiceActivation::VoiceActivation(const std::wstring& manifestPath) {
    ACTCTXW description = {};
    description.cbSize = sizeof description;
    description.lpSource = manifestPath.c_str();
    context_.reset(CreateActCtxW(&description));
    if (context_ && !ActivateActCtx(context_.get(), &cookie_)) cookie_ = 0;
}

VoiceActivation::~VoiceActivation() {
    // The context is released after it stops being the active one.
    if (cookie_) DeactivateActCtx(0, cookie_);
}

}  // namespace nimbrel::host
