#pragma once
// The services' base addresses for one command: the user's GatewayAddress
// preference when it is set and sound, else the build's.

#include <string>

namespace nimbrel {

struct ServiceBases {
    std::string weather;      // the weather pages and the station lists
    std::string translation;
};

// Reads GatewayAddress from the key name's preferences on every call. A
// sound one (IsGatewayAddress) is both bases; none, or one that is not
// sound, leaves the build's. The first unsound value in a load of the
// library is named in a toast (control bytes as "?", cut short), once.
ServiceBases ChooseServiceBases(const char* keyName);

}  // namespace nimbrel
