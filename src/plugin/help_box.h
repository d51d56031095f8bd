#pragma once
// Configure's answer: the user guide in a message box.

namespace nimbrel {

// Shows the guide, owned by the calling thread's active window (none when
// there is no active window), with an OK button, and returns once it closes.
void ShowHelpBox();

}  // namespace nimbrel
