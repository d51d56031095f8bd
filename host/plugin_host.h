#pragma once
// Loads a plug-in DLL and drives it through its exports as the messenger
// host does: one object a loaded plug-in, used on one thread.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "host_events.h"
#include "message_box_catcher.h"
#include "output_buffer.h"
#include "plugin/plugin.h"
#include "published_info.h"
#include "toast_window.h"
#include "win_handles.h"

namespace nimbrel::host {

struct PluginExports {
    decltype(&::Initialize) Initialize = nullptr;
    decltype(&::Uninitialize) Uninitialize = nullptr;
    decltype(&::PublishInfo) PublishInfo = nullptr;
    decltype(&::ParseTag) ParseTag = nullptr;
    decltype(&::ParseCommand) ParseCommand = nullptr;
    decltype(&::ReceiveNotify) ReceiveNotify = nullptr;
    decltype(&::Configure) Configure = nullptr;
};

struct HostOptions {
    std::size_t outputCapacity = kOutputCapacity;
    bool answerBoxes = true;  // false: leave message boxes to a real display
};

class PluginHost {
public:
    explicit PluginHost(EventSink& sink, HostOptions options = {});
    ~PluginHost();

    // Loads the DLL and finds the seven host entry points; reports an error
    // event naming the path or the missing export and returns false.
    bool Load(const std::string& path);
    void Unload();
    HMODULE module() const { return module_.get(); }

    BOOL Initialize(const std::string& keyName);
    LoadedEvent Publish();
    // Calls ParseCommand; a notification request in its output is then
    // handed to ReceiveNotify, as the host does.
    CommandEvent RunCommand(const std::string& word, const std::string& params);
    CommandEvent RunCommand(const std::string& word, const std::string& params, const std::string& line);
    NotifyEvent Notify(const std::string& name, const std::string& data);
    void Configure();
    int ParseTag();
    void Uninitialize();

    // Runs work on a thread of its own, with its message boxes caught as on
    // this one, while this thread answers toasts; returns when it is done.
    // Under qemu's 32-bit emulation only the newest thread of a Wine process
    // can safely wait on a socket, and a speech worker started by one command
    // is newer than the thread that started it: a fresh thread per command
    // keeps the next command's network calls on the newest thread.
    void OnFreshThread(const std::function<void()>& work);

    // Error events reported so far.
    int errors() const { return errors_; }

private:
    class CountingSink;
    void CheckOutput(const char* entryPoint);

    std::unique_ptr<CountingSink> counting_;
    HostOptions options_;
    std::string path_;
    UniqueModule module_;
    PluginExports exports_;
    OutputBuffer output_;
    PublishedInfo published_;
    ToastWindow toasts_;
    MessageBoxCatcher boxes_;
    int errors_ = 0;
};

}  // namespace nimbrel::host
