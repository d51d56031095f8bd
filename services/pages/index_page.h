#pragma once
// The index pages: "/" lists the US states, "/international.html" the
// countries. The reader finds a typed name by its first occurrence anywhere
// in the page and takes the two characters that start five before it as
// the code, so every name stands five characters after its code and
// nothing earlier on the page holds it.

#include <string>

#include "services/stations/regions.h"

namespace nimbrel::services {

std::string StateIndexPage(const Regions& states);
std::string CountryIndexPage(const Regions& countries);

}  // namespace nimbrel::services
