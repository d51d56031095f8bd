// nimbrel-console: the front end that owns the terminal. It runs the host
// stand-in (under Wine) and, if asked, a stand-in player, each through
// pipes, sends them what is typed and renders what they report; with
// --speak or --speech-dir, espeak-ng says what the plug-in had read aloud.
//
//   nimbrel-console [--json] [--times] [--speak] [--speech-dir DIR] [--exec LINE]...
//                   -- HOST-COMMAND... [-- PLAYER-COMMAND...]

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "console_view.h"
#include "edited_lines.h"
#include "line_sources.h"
#include "session.h"
#include "terminal_text.h"
#include "voice.h"
#include "wake_signals.h"

namespace nimbrel::console {
namespace {

const char kUsage[] =
    "usage: nimbrel-console [--json] [--times] [--speak] [--speech-dir DIR] [--exec LINE]...\n"
    "                       -- HOST-COMMAND... [-- PLAYER-COMMAND...]\n"
    "  --json            pass the host's JSON events through unchanged\n"
    "  --times           show each command's time in the plug-in after its answer\n"
    "  --speak           play each text the plug-in reads aloud (espeak-ng)\n"
    "  --speech-dir DIR  write each such text as a WAV file in DIR: 001.wav, 002.wav, ...\n"
    "  --exec LINE       send LINE, in order with the others, then leave; without it,\n"
    "                    lines are read from standard input (edited, at a terminal)\n"
    "HOST-COMMAND runs nimbrel-host.exe; PLAYER-COMMAND runs nimbrel-player.exe.\n"
    "Lines: what nimbrel-host.exe reads, and :song TITLE for the stand-in player.\n";

struct Arguments {
    bool json = false;
    bool times = false;
    VoiceOptions voice;
    std::vector<std::string> lines;
    std::vector<std::string> host;
    std::vector<std::string> player;
};

bool ParseArguments(int argc, char** argv, Arguments& args) {
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json") args.json = true;
        else if (arg == "--times") args.times = true;
        else if (arg == "--speak") args.voice.speak = true;
        else if (arg == "--speech-dir" && i + 1 < argc && *argv[i + 1]) args.voice.speechDir = argv[++i];
        else if (arg == "--exec" && i + 1 < argc) args.lines.push_back(argv[++i]);
        else return false;
    }
    std::vector<std::string>* command = &args.host;
    for (++i; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0 && command == &args.host) command = &args.player;
        else command->push_back(argv[i]);
    }
    return !args.host.empty();
}

// The folder for the spoken texts' files, made when it is not there yet.
bool MakeSpeechDir(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!error && std::filesystem::is_directory(dir, error) && ::access(dir.c_str(), W_OK) == 0) return true;
    std::cerr << "nimbrel-console: cannot write the spoken texts in " << TerminalTextFromUtf8(dir) << ": "
              << (error ? error.message() : "not a folder this user may write in") << '\n';
    return false;
}

int Main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::cerr << kUsage;
        return 2;
    }
    if (!args.voice.speechDir.empty() && !MakeSpeechDir(args.voice.speechDir)) return 2;

    // The terminal's character set for line editing; numbers stay as "C" writes them.
    std::setlocale(LC_CTYPE, "");
    const bool typing = args.lines.empty() && isatty(STDIN_FILENO);
    std::unique_ptr<LineSource> input;
    if (!args.lines.empty()) input = std::make_unique<ListedLines>(args.lines);
    else if (typing && !args.json) input = std::make_unique<EditedLines>("> ");
    else input = std::make_unique<PipedLines>(STDIN_FILENO);

    ViewStyle style;
    style.echoInput = !typing;
    style.colour = isatty(STDOUT_FILENO) && std::getenv("NO_COLOR") == nullptr;
    style.times = args.times;
    ConsoleView view(std::cout, style);

    WakeSignals signals;
    std::string error;
    // Their error output comes to us, never straight to the terminal.
    constexpr auto kPiped = process::ChildProcess::ErrorOutput::Piped;
    std::optional<process::ChildProcess> host = process::ChildProcess::Start(args.host, kPiped, &error);
    if (!host) {
        std::cerr << "nimbrel-console: cannot start the host: " << error << '\n';
        return 2;
    }
    std::optional<process::ChildProcess> player =
        args.player.empty() ? std::nullopt : process::ChildProcess::Start(args.player, kPiped, &error);
    if (!args.player.empty() && !player) std::cerr << "nimbrel-console: cannot start the stand-in player: " << error << '\n';

    std::optional<Voice> voice;
    if (args.voice.speak || !args.voice.speechDir.empty()) voice.emplace(args.voice);
    Session session(*host, player ? &*player : nullptr, voice ? &*voice : nullptr, *input, view, signals, args.json);
    const int status = session.Run();
    input.reset();  // the terminal as it was
    if (status > 128 && isatty(STDOUT_FILENO)) std::cout << '\n';
    return status;
}

}  // namespace
}  // namespace nimbrel::console

int main(int argc, char** argv) { return nimbrel::console::Main(argc, argv); }
