#include "command_table.h"

#include <cstring>

namespace nimbrel {

const char kPublishedName[] = "Nimbrel' s Plugin v.1.1";

const CommandRow kCommandRows[kCommandCount] = {
    {CommandWord::Weather, "To retrieve current weather conditions by town code", "TOWN_CODE"},
    {CommandWord::Country, "To view all towns by country with code ", "Country"},
    {CommandWord::States, "To view all towns by states (USA) with code ", "States"},
    {CommandWord::TranslationHelp, "To view avaible translation code", nullptr},
    {CommandWord::Speak, "To speech text", "text to speech"},
    {CommandWord::Song, "Get the current play song and send a toast", nullptr},
    {CommandWord::Add, "Add Winamp/Sonique's songs", nullptr},
    {CommandWord::Play, "Play current playlist", nullptr},
    {CommandWord::Pause, "Pause the current playlist", nullptr},
    {CommandWord::Stop, "Stop the current playlist", nullptr},
    {CommandWord::Next, "Next song in the current playlist", nullptr},
    {CommandWord::Previous, "Previous song in the current playlist", nullptr},
    {CommandWord::SpeechOff, "Nimbrel plugin will not speech results (default)", nullptr},
    {CommandWord::SpeechOn, "Nimbrel plugin will speech english results", nullptr},
};

void PublishCommandTable(char* nameBuffer, PluginCommandTable* table, TagRecord* tags) {
    if (nameBuffer) std::strcpy(nameBuffer, kPublishedName);
    if (table) {
        table->count = kCommandCount;
        for (int i = 0; i < kCommandCount; ++i) {
            const CommandRow& row = kCommandRows[i];
            std::strcpy(table->descriptions[i], row.description);
            std::strcpy(table->commands[i], CommandWordText(row.word));
            if (row.parameter) std::strcpy(table->parameters[i], row.parameter);
        }
    }
    if (tags) tags->count = 0;
}

}  // namespace nimbrel
