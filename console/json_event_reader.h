#pragma once
// The host's JSON events read back into the events they were written from
// (JsonEventWriter), for a view to render. Texts come back as the bytes the
// plug-in wrote; wide texts as UTF-16.

#include <string>
#include <string_view>

#include "host_events.h"

namespace nimbrel::console {

// Hands the event on one line to the sink and answers its name ("loaded",
// "done", ...); answers an empty name, and hands nothing on, for a line
// that is not a whole event.
std::string ReadJsonEvent(std::string_view line, host::EventSink& sink);

}  // namespace nimbrel::console
