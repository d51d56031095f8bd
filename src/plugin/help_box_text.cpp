#include "help_box_text.h"

#include "common/service_addresses.h"

namespace nimbrel {

namespace {

constexpr char kGuideBeforeAddress[] =
    "Little Help:\n"
    "\n\n\n"
    "/xweather   TOWN_CODE   LANGUAGE_CODE\n"
    "TOWN_CODE is a 4 characters code long.\n"
    "LANGUAGE_CODE is a 5 characters code long.\n"
    "You can keep empty the LANGUAGE_CODE parameter to view\n"
    "weather in english.\n"
    "\n"
    "ex:\n"
    "/xweather LFMN en_fr\n"
    "will give weather of Nice, France... IN FRENCH!\n"
    "To find language code to translate the weather in your own language:\n"
    "/xwtranshelp   -> will display all valid codes\n"
    "\n"
    "You can find your town code with the 2 following commands:\n"
    "\n"
    "/xcountry Country\n"
    "Country is the country name where you\n"
    "want to list towns codes\n"
    "\n"
    "ex:\n"
    "/xcountry France\n"
    "Use it without parameter to view all country list\n"
    "\n\n"
    "/xstates State\n"
    "State is the American united state name that you\n"
    "want to list towns codes\n"
    "\n"
    "ex:\n"
    "/xstates Alaska\n"
    "Use it without parameter to view all states list\n"
    "\n\n"
    "You can also control Sonique 1.x and Winamp 3 to 5\n"
    "\n"
    "/xsong to send toast with your playing song\n"
    "/xplay, /xpause, /xstop, /xnext, /xprev, /xadd\n"
    "are the others commands to player control\n"
    "\n"
    "You can also use /xs before text to speech\n"
    "All weather infos are taken at:\n";

constexpr char kGuideAfterAddress[] =
    "\n"
    "A futur release will include dialog to choose the correct town, language...\n"
    "\n"
    "\t\tby the Nimbrel's Plugin developers";

}  // namespace

std::string HelpBoxText() {
    // The address line is the weather service's, wherever that points.
    return std::string(kGuideBeforeAddress) + kWeatherServiceAddress + kGuideAfterAddress;
}

}  // namespace nimbrel
