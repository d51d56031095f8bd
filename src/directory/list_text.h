#pragma once
// The station list on a station-selection page: what follows the selection
// marker, up to "</select>" or, without one, to the end of the page.

#include <optional>
#include <string>

namespace nimbrel {

// Nothing when the page lacks the selection marker: the run then ends with
// nothing shown.
std::optional<std::string> ExtractListText(const std::string& listPage);

}  // namespace nimbrel
