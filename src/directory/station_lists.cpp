#include "station_lists.h"

#include "list_paging.h"
#include "list_text.h"

namespace nimbrel {

std::vector<std::string> StationListBoxes(const std::string& listPage) {
    std::optional<std::string> listText = ExtractListText(listPage);
    if (!listText) return {};
    return PageListText(*listText);
}

}  // namespace nimbrel
