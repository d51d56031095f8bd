#include "help_box.h"

#include <windows.h>

#include <string>

#include "help_box_text.h"

namespace nimbrel {

namespace {

constexpr char kHelpBoxCaption[] = "About Nimbrel's Plugin v.1.1";

}  // namespace

void ShowHelpBox() {
    std::string text = HelpBoxText();
    MessageBoxA(GetActiveWindow(), text.c_str(), kHelpBoxCaption, MB_OK);
}

}  // namespace nimbrel
