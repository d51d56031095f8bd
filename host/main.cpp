// nimbrel-host.exe: the console stand-in for the messenger host.
//
//   nimbrel-host.exe [--plugin PATH] [--key NAME] [--json] [--show-boxes] [--exec LINE]...

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "console_view.h"
#include "recording_voice/voice_activation.h"
#include "recording_voice/voice_log.h"
#include "json_events.h"
#include "plugin_host.h"
#include "typed_line.h"

namespace {

struct Arguments {
    std::string plugin;
    std::string key = "Default";
    bool json = false;
    bool showBoxes = false;
    std::vector<std::string> lines;
    bool interactive = true;
};

const char kUsage[] =
    "usage: nimbrel-host.exe [--plugin PATH] [--key NAME] [--json] [--show-boxes] [--exec LINE]...\n"
    "  --plugin PATH  the plug-in DLL (default: Nimbrel's Plugin.dll beside this program)\n"
    "  --key NAME     the key name handed to Initialize (default: Default)\n"
    "  --json         one JSON object per event instead of the console view\n"
    "  --show-boxes   leave message boxes on the display instead of answering them\n"
    "  --exec LINE    run LINE, in order with the others, then exit; without it,\n"
    "                 lines are read from standard input until its end or :quit\n"
    "Lines: /command parameters | :configure | :notify NAME DATA | :quit | chat text\n";

std::string BesideProgram(const std::string& file) {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, length);
    std::string::size_type slash = program.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
    return folder + file;
}

std::string DefaultPluginPath() { return BesideProgram("Nimbrel's Plugin.dll"); }

// No voice speaks here: the stand-in voice beside the program records what
// the plug-in has read aloud, and the host shows it.
class SpokenTexts {
public:
    SpokenTexts() : voice_(Widen(BesideProgram("recording_voice.manifest"))) {}
    void Report(EventSink& sink) {
        std::vector<SpokenText> spoken = log_.Read();
        for (; reported_ < spoken.size(); ++reported_) {
            const std::wstring text = spoken[reported_].text.value_or(L"");
            sink.OnSpeech({std::u16string(text.begin(), text.end())});
        }
    }

private:
    static std::wstring Widen(const std::string& path) {
        wchar_t wide[MAX_PATH] = L"";
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        return wide;
    }
    VoiceLog log_;
    VoiceActivation voice_;
    std::size_t reported_ = 0;
};

bool ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--plugin" && hasValue) args.plugin = argv[++i];
        else if (arg == "--key" && hasValue) args.key = argv[++i];
        else if (arg == "--exec" && hasValue) args.lines.push_back(argv[++i]), args.interactive = false;
        else if (arg == "--json") args.json = true;
        else if (arg == "--show-boxes") args.showBoxes = true;
        else return false;
    }
    if (args.plugin.empty()) args.plugin = DefaultPluginPath();
    return true;
}

// Runs one typed line; false when it asks to quit.
bool RunTypedLine(PluginHost& host, EventSink& sink, const std::string& line) {
    TypedLine typed = ParseTypedLine(line);
    switch (typed.kind) {
    case TypedLine::Kind::Quit:
        return false;
    case TypedLine::Kind::Command:
        sink.OnTyped(line);
        host.RunCommand(typed.word, typed.params, line);
        break;
    case TypedLine::Kind::Configure:
        sink.OnTyped(line);
        host.Configure();
        break;
    case TypedLine::Kind::Notify:
        sink.OnTyped(line);
        host.Notify(typed.word, typed.params);
        break;
    case TypedLine::Kind::Chat:
        sink.OnChat({typed.params});
        break;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Bytes go out exactly as written: no LF to CR LF translation.
    _setmode(_fileno(stdout), _O_BINARY);

    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // At a terminal the typed lines are on the screen already.
    bool atTerminal = args.interactive && _isatty(_fileno(stdin));
    JsonEventWriter json(std::cout);
    // Colours where a terminal shows them, unless NO_COLOR asks otherwise.
    bool colour = _isatty(_fileno(stdout)) && std::getenv("NO_COLOR") == nullptr;
    ConsoleView console(std::cout, !atTerminal, colour);
    EventSink& sink = args.json ? static_cast<EventSink&>(json) : console;

    HostOptions options;
    options.answerBoxes = !args.showBoxes;
    SpokenTexts spoken;
    PluginHost host(sink, options);
    if (!host.Load(args.plugin)) return 2;
    host.Initialize(args.key);
    host.Publish();

    if (args.interactive) {
        std::string line;
        if (atTerminal && !args.json) console.Prompt();
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            bool more = true;
            host.OnFreshThread([&] { more = RunTypedLine(host, sink, line); });
            spoken.Report(sink);
            if (!more) break;
            if (atTerminal && !args.json) console.Prompt();
        }
    } else {
        for (const std::string& line : args.lines) {
            bool more = true;
            host.OnFreshThread([&] { more = RunTypedLine(host, sink, line); });
            spoken.Report(sink);
            if (!more) break;
        }
    }

    host.Uninitialize();
    host.Unload();
    return host.errors() ? 1 : 0;
}
