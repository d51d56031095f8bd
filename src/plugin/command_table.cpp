#include "command_table.h"

#include <cstring>

const char kPublishedName[] = "Nimbrel' s Plugin v.1.1";

const CommandRow kCommandRows[kCommandCount] = {
    {"xweather", "To retrieve current weather conditions by town code", "TOWN_CODE"},
    {"xcountry", "To view all towns by country with code ", "Country"},
    {"xstates", "To view all towns by states (USA) with code ", "States"},
    {"xwtranshelp", "To view avaible translation code", nullptr},
    {"xs", "To speech text", "text to speech"},
    {"xsong", "Get the current play song and send a toast", nullptr},
    {"xadd", "Add Winamp/Sonique's songs", nullptr},
    {"xplay", "Play current playlist", nullptr},
    {"xpause", "Pause the current playlist", nullptr},
    {"xstop", "Stop the current playlist", nullptr},
    {"xnext", "Next song in the current playlist", nullptr},
    {"xprev", "Previous song in the current playlist", nullptr},
    {"xwspeechoff", "Nimbrel plugin will not speech results (default)", nullptr},
    {"xwspeechon", "Nimbrel plugin will speech english results", nullptr},
};

void PublishCommandTable(char* nameBuffer, PluginCommandTable* table, TagRecord* tags) {
    if (nameBuffer) std::strcpy(nameBuffer, kPublishedName);
    if (table) {
        table->count = kCommandCount;
        for (int i = 0; i < kCommandCount; ++i) {
            const CommandRow& row = kCommandRows[i];
            std::strcpy(table->descriptions[i], row.description);
            std::strcpy(table->commands[i], row.command);
            if (row.parameter) std::strcpy(table->parameters[i], row.parameter);
        }
    }
    if (tags) tags->count = 0;
}
