#include "gateway_preference.h"

#include <atomic>

#include "common/service_addresses.h"
#include "dispatcher_texts.h"
#include "http/gateway_address.h"
#include "preferences.h"
#include "toast.h"

namespace nimbrel {

namespace {

constexpr char kGatewayValue[] = "GatewayAddress";
constexpr char kIgnoredLead[] = "GatewayAddress ";
constexpr char kUnreadableValue[] = "(not a text of at most 1 KB)";
constexpr char kIgnoredTail[] = " is not like http://192.168.1.20:8642\r\nThe built-in address is used";
// Leaves the toast's 255 characters room for the lead and the tail.
constexpr std::size_t kShownValueLength = 120;

// Once per load: the value is read again for every command.
std::atomic<bool> ignoredValueTold{false};

void TellIgnored(const PreferenceText& value) {
    if (ignoredValueTold.exchange(true)) return;
    const std::string shown = value.state == PreferenceText::State::Text
                                  ? '"' + PrintableValue(value.text, kShownValueLength) + '"'
                                  : kUnreadableValue;
    SendToast((kIgnoredLead + shown + kIgnoredTail).c_str(), kOptionsToastTitle, nullptr, false);
}

}  // namespace

ServiceBases ChooseServiceBases(const char* keyName) {
    const PreferenceText gateway = ReadPreference(kGatewayValue, keyName);
    if (gateway.state == PreferenceText::State::Text && IsGatewayAddress(gateway.text)) {
        const std::string base = GatewayBase(gateway.text);
        return {base, base};
    }
    if (gateway.state != PreferenceText::State::Absent) TellIgnored(gateway);
    return {kWeatherServiceAddress, kTranslationServiceAddress};
}

}  // namespace nimbrel
