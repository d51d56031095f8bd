// nimbrel-host.exe: the stand-in for the messenger host, driven through
// pipes: typed lines on standard input, one JSON object per event on
// standard output. People use it through the native front end
// (nimbrel-console), which owns the terminal.
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

#include "input_lines.h"
#include "json_events.h"
#include "plugin_host.h"
#include "recording_voice/voice_activation.h"
#include "recording_voice/voice_log.h"
#include "typed_line.h"

namespace nimbrel::host {
namespace {

struct Arguments {
    std::string plugin;
    std::string key = "Default";
    bool showBoxes = false;
    std::vector<std::string> lines;
    bool interactive = true;
};

const char kUsage[] =
    "usage: nimbrel-host.exe [--plugin PATH] [--key NAME] [--json] [--show-boxes] [--exec LINE]...\n"
    "  --plugin PATH  the plug-in DLL (default: Nimbrel's Plugin.dll beside this program)\n"
    "  --key NAME     the key name handed to Initialize (default: Default)\n"
    "  --json         one JSON object per event on standard output (always so)\n"
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
        else if (arg == "--json") {}  // the events are always JSON
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
        host.RunCommand(typed.word, typed.params, line);
        break;
    case TypedLine::Kind::Configure:
        host.Configure();
        break;
    case TypedLine::Kind::Notify:
        host.Notify(typed.word, typed.params);
        break;
    case TypedLine::Kind::Chat:
        sink.OnChat({typed.params});
        break;
    }
    return true;
}

int Main(int argc, char** argv) {
    // Bytes go out exactly as written: no LF to CR LF translation.
    _setmode(_fileno(stdout), _O_BINARY);

    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    JsonEventWriter events(std::cout);
    HostOptions options;
    options.answerBoxes = !args.showBoxes;
    SpokenTexts spoken;
    PluginHost host(events, options);
    if (!host.Load(args.plugin)) return 2;
    host.Initialize(args.key);
    host.Publish();

    // Each line on a fresh thread (see OnFreshThread); false on :quit.
    auto run = [&](const std::string& line) {
        bool more = true;
        host.OnFreshThread([&] { more = RunTypedLine(host, events, line); });
        spoken.Report(events);
        if (more) events.OnDone({line});
        return more;
    };
    if (args.interactive) {
        InputLines input;
        std::string line;
        while (input.Next(line) && run(line)) {
        }
    } else {
        for (const std::string& line : args.lines)
            if (!run(line)) break;
    }

    host.Uninitialize();
    host.Unload();
    return host.errors() ? 1 : 0;
}

}  // namespace
}  // namespace nimbrel::host

int main(int argc, char** argv) { return nimbrel::host::Main(argc, argv); }
