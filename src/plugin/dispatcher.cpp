#include "dispatcher.h"

#include <windows.h>

#include <string>

#include "command_words.h"
#include "common/module_state.h"
#include "stations/reference_texts.h"
#include "stations/station_list_run.h"
#include "dispatcher_texts.h"
#include "gateway_preference.h"
#include "notifications.h"
#include "output_text.h"
#include "player/drive_player.h"
#include "player/find_player.h"
#include "preferences.h"
#include "toast.h"
#include "weather/weather_request.h"
#include "weather_parameters.h"

namespace nimbrel {

namespace {

std::string Notification(const char* name, const char* data) {
    return std::string(1, kNotificationStart) + name + data;
}

// The seven player commands check for a player first.
void PlayerCommand(CommandWord word, char* output) {
    if (!IsPlayerRunning()) {
        WriteOutput(output, "");
        SendToast(kPlayerNotRunningToastText, kPlayerNotRunningToastTitle, nullptr, false);
        return;
    }
    switch (word) {
        case CommandWord::Song: return WriteOutput(output, Notification(kSongNotification, GetPlayerTitle()));
        case CommandWord::Add: PlayerAdd(); return WriteOutput(output, "");
        case CommandWord::Play: PlayerPlay(); break;
        case CommandWord::Pause: PlayerPause(); return WriteOutput(output, kPauseAnswer);
        case CommandWord::Stop: PlayerStop(); return WriteOutput(output, kStopAnswer);
        case CommandWord::Next: PlayerNext(); break;
        case CommandWord::Previous: PlayerPrevious(); break;
        default: return;
    }
    WriteOutput(output, std::string(kPlayAnswer) + GetPlayerTitle());
}

void Weather(const char* parameters, char* output) {
    const WeatherParameters split = SplitWeatherParameters(parameters);
    if (split.storePreferences)
        SavePreferences(split.stationCode.c_str(), split.languagePair.c_str(), hostKeyName);
    const ServiceBases services = ChooseServiceBases(hostKeyName);
    if (!split.codeIsGood) {
        const std::string listPage = services.weather + kStationListPagePath;
        SendToast((kBadCodeToastLead + listPage).c_str(), kBadCodeToastTitle, listPage.c_str(), false);
        return;   // output untouched
    }
    WriteOutput(output, RequestWeatherReport(split.stationCode, split.languagePair, speechEnabled == 1,
                                             kStationPages.At(services.weather.c_str()),
                                             kTranslations.At(services.translation.c_str())));
}

void StationList(const StationListSettings& settings, const char* parameters, char* output) {
    WriteOutput(output, "");
    const ServiceBases services = ChooseServiceBases(hostKeyName);
    ShowStationList(settings, StationListName(settings, parameters), kStationListPages.At(services.weather.c_str()));
}

void SpeechSwitch(int value, const char* toast) {
    speechEnabled = value;
    SendToast(toast, kOptionsToastTitle, nullptr, false);   // output untouched
}

}  // namespace

int DispatchCommand(const char* word, const char* parameters, char* output) {
    if (parameters == nullptr) parameters = "";
    const CommandWord command = MatchCommandWord(word);
    switch (command) {
        case CommandWord::None:
            return 0;
        case CommandWord::Speak:
            WriteOutput(output, Notification(kSpeakNotification, parameters));
            break;
        case CommandWord::TranslationHelp:
            WriteOutput(output, "");
            MessageBoxA(nullptr, LanguageCodeHelp, kLanguageCodeHelpCaption, MB_OK);
            break;
        case CommandWord::SpeechOff:
            SpeechSwitch(0, kSpeechOffToast);
            break;
        case CommandWord::SpeechOn:
            SpeechSwitch(1, kSpeechOnToast);
            break;
        case CommandWord::Weather:
            Weather(parameters, output);
            break;
        case CommandWord::Country:
            StationList(kCountryStationList, parameters, output);
            break;
        case CommandWord::States:
            StationList(kStateStationList, parameters, output);
            break;
        default:
            PlayerCommand(command, output);
            break;
    }
    return 1;
}

}  // namespace nimbrel
