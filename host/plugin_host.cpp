#include "plugin_host.h"

#include <tlhelp32.h>

#include "message_wait.h"

namespace nimbrel::host {

// Passes every event on and counts the errors among them.
class PluginHost::CountingSink : public ForwardingSink {
public:
    CountingSink(EventSink& next, int& errors) : ForwardingSink(next), errors_(errors) {}
    void OnError(const ErrorEvent& e) override {
        ++errors_;
        ForwardingSink::OnError(e);
    }

private:
    int& errors_;
};

namespace {

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Why LoadLibrary failed, in words: the system's text, except where that
// text would mislead (a missing file and a missing dependency share a code).
std::string LoadFailure(const std::string& path, DWORD error) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return "there is no such file";
    if (error == ERROR_MOD_NOT_FOUND) return "a library that it needs cannot be found";
    if (error == ERROR_BAD_EXE_FORMAT) return "it is not a 32-bit Windows library";
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    const UniqueLocal owned(text);
    std::string words(text ? text : "", length);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) words.pop_back();
    return words.empty() ? "Windows refused it" : words;
}

template <typename Pointer>
bool Resolve(HMODULE module, const char* name, Pointer& pointer) {
    pointer = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return pointer != nullptr;
}

}  // namespace

PluginHost::PluginHost(EventSink& sink, HostOptions options)
    : counting_(std::make_unique<CountingSink>(sink, errors_)),
      options_(options),
      output_(options.outputCapacity),
      toasts_(*counting_),
      boxes_(*counting_, options.answerBoxes) {}

PluginHost::~PluginHost() = default;

bool PluginHost::Load(const std::string& path) {
    Unload();
    path_ = path;
    module_.reset(LoadLibraryA(path.c_str()));
    if (!module_) {
        const DWORD error = GetLastError();
        counting_->OnError({"cannot load the plug-in \"" + path + "\": " + LoadFailure(path, error) + " (error " +
                            std::to_string(error) + ")"});
        return false;
    }
    PluginExports found;
    const char* missing = nullptr;
    HMODULE m = module_.get();
    if (!Resolve(m, "Initialize", found.Initialize)) missing = "Initialize";
    else if (!Resolve(m, "Uninitialize", found.Uninitialize)) missing = "Uninitialize";
    else if (!Resolve(m, "PublishInfo", found.PublishInfo)) missing = "PublishInfo";
    else if (!Resolve(m, "ParseTag", found.ParseTag)) missing = "ParseTag";
    else if (!Resolve(m, "ParseCommand", found.ParseCommand)) missing = "ParseCommand";
    else if (!Resolve(m, "ReceiveNotify", found.ReceiveNotify)) missing = "ReceiveNotify";
    else if (!Resolve(m, "Configure", found.Configure)) missing = "Configure";
    if (missing) {
        counting_->OnError({"the plug-in \"" + path + "\" has no export named " + missing});
        module_.reset();
        return false;
    }
    exports_ = found;
    return true;
}

void PluginHost::Unload() {
    module_.reset();
    exports_ = PluginExports();
}

BOOL PluginHost::Initialize(const std::string& keyName) {
    return exports_.Initialize ? exports_.Initialize(0, keyName.c_str(), 0) : FALSE;
}

LoadedEvent PluginHost::Publish() {
    published_.Reset();
    if (exports_.PublishInfo) exports_.PublishInfo(published_.name(), published_.table(), published_.tags());
    LoadedEvent loaded = published_.Read();
    counting_->OnLoaded(loaded);
    return loaded;
}

void PluginHost::CheckOutput(const char* entryPoint) {
    if (!output_.GuardIntact())
        counting_->OnError({std::string(entryPoint) + " wrote past the end of the " +
                            std::to_string(output_.capacity()) + "-byte output buffer"});
    else if (!output_.Untouched() && !output_.Terminated())
        counting_->OnError({std::string(entryPoint) + " left the output buffer without a terminating NUL"});
}

CommandEvent PluginHost::RunCommand(const std::string& word, const std::string& params) {
    return RunCommand(word, params, params.empty() ? word : word + " " + params);
}

CommandEvent PluginHost::RunCommand(const std::string& word, const std::string& params, const std::string& line) {
    CommandEvent event;
    event.word = word;
    event.params = params;
    event.line = line;
    if (!exports_.ParseCommand) return event;

    output_.Reset();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    event.result = exports_.ParseCommand(word.c_str(), params.c_str(), 0, output_.data());
    QueryPerformanceCounter(&end);
    event.ms = Milliseconds(start, end);
    event.output = output_.Text();
    counting_->OnCommand(event);
    CheckOutput("ParseCommand");

    // A notification request: 0x12, a five-letter name, then the data.
    if (event.result == 1 && event.output && !event.output->empty() && (*event.output)[0] == '\x12') {
        const std::string& request = *event.output;
        Notify(request.substr(1, 5), request.size() > 6 ? request.substr(6) : std::string());
    }
    return event;
}

NotifyEvent PluginHost::Notify(const std::string& name, const std::string& data) {
    NotifyEvent event;
    event.name = name;
    event.data = data;
    if (!exports_.ReceiveNotify) return event;
    output_.Reset();
    event.result = exports_.ReceiveNotify(name.c_str(), data.c_str(), 0, output_.data());
    event.output = output_.Text();
    counting_->OnNotify(event);
    CheckOutput("ReceiveNotify");
    return event;
}

void PluginHost::Configure() {
    if (exports_.Configure) exports_.Configure();
}

int PluginHost::ParseTag() {
    return exports_.ParseTag ? exports_.ParseTag(0, 0, 0) : 0;
}

void PluginHost::Uninitialize() {
    if (exports_.Uninitialize) exports_.Uninitialize();
}

namespace {

struct FreshThreadWork {
    const std::function<void()>* work;
    EventSink* sink;
    bool answerBoxes;
};

int ThreadsOfThisProcess() {
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return 0;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    return count;
}

DWORD WINAPI RunFreshThreadWork(LPVOID parameter) {
    auto* job = static_cast<FreshThreadWork*>(parameter);
    MessageBoxCatcher boxes(*job->sink, job->answerBoxes);
    (*job->work)();
    return 0;
}

}  // namespace

void PluginHost::OnFreshThread(const std::function<void()>& work) {
    const int threadsBefore = ThreadsOfThisProcess();
    FreshThreadWork job{&work, counting_.get(), options_.answerBoxes};
    const UniqueHandle thread(CreateThread(nullptr, 0, RunFreshThreadWork, &job, 0, nullptr));
    if (!thread) {
        work();
        return;
    }
    // Messages sent to this thread's windows (toasts) are answered while waiting.
    WaitDispatchingMessages(thread.get());
    // Threads the command started (a speech worker) end before the next
    // command starts its own, for the same reason; a few seconds at most.
    for (int wait = 0; wait < 100 && ThreadsOfThisProcess() > threadsBefore; ++wait) Sleep(50);
    Sleep(100);   // an exiting thread is still winding down when it leaves the list
}

}  // namespace nimbrel::host
