#include "json_event_reader.h"

#include <cctype>
#include <nlohmann/json.hpp>

#include "unicode_text.h"

namespace nimbrel::console {
namespace {

using nlohmann::json;

// Each character of a byte text stands for the byte of the same value.
std::string Bytes(const json& value) {
    std::string out;
    if (!value.is_string()) return out;
    for (char32_t code : text::DecodeUtf8(value.get_ref<const std::string&>()))
        out += code <= 0xFF ? static_cast<char>(code) : '?';
    return out;
}

std::optional<std::string> BytesOrNone(const json& value) {
    if (value.is_null()) return std::nullopt;
    return Bytes(value);
}

std::u16string Wide(const json& value) {
    return value.is_string() ? text::EncodeUtf16(text::DecodeUtf8(value.get_ref<const std::string&>())) : std::u16string();
}

template <typename Number>
Number NumberOf(const json& value) {
    return value.is_number() ? value.get<Number>() : Number();
}

bool IsHighSurrogateEscape(std::string_view text, std::size_t at) {
    return at + 6 <= text.size() && text[at] == '\\' && text[at + 1] == 'u' &&
           std::toupper(static_cast<unsigned char>(text[at + 2])) == 'D' &&
           std::string_view("89AB").find(std::toupper(static_cast<unsigned char>(text[at + 3]))) != std::string_view::npos;
}

bool IsSurrogateEscape(std::string_view text, std::size_t at) {
    return at + 6 <= text.size() && text[at] == '\\' && text[at + 1] == 'u' &&
           std::toupper(static_cast<unsigned char>(text[at + 2])) == 'D' &&
           std::string_view("89ABCDEF").find(std::toupper(static_cast<unsigned char>(text[at + 3]))) != std::string_view::npos;
}

// The host writes a lone surrogate of a wide text as its \u escape, which
// the parser refuses; it becomes the replacement character instead.
std::string WithoutLoneSurrogates(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i++];
        } else if (IsHighSurrogateEscape(text, i) && IsSurrogateEscape(text, i + 6) && !IsHighSurrogateEscape(text, i + 6)) {
            out.append(text.substr(i, 12));
            i += 12;
        } else if (IsSurrogateEscape(text, i)) {
            out += "\\uFFFD";
            i += 6;
        } else {
            out.append(text.substr(i, 2));
            i += 2;
        }
    }
    return out;
}

json Parse(std::string_view line) {
    json event = json::parse(line, nullptr, false);
    if (event.is_discarded()) event = json::parse(WithoutLoneSurrogates(line), nullptr, false);
    return event;
}

const json& Field(const json& event, const char* name) {
    static const json kNone;
    auto found = event.find(name);
    return found == event.end() ? kNone : *found;
}

void HandOn(const std::string& name, const json& e, host::EventSink& sink) {
    if (name == "loaded") {
        host::LoadedEvent loaded{Bytes(Field(e, "name")), {}, NumberOf<int32_t>(Field(e, "tags"))};
        const json& commands = Field(e, "commands");
        if (commands.is_array())
            for (const json& c : commands)
                loaded.commands.push_back({Bytes(Field(c, "command")), Bytes(Field(c, "description")),
                                           BytesOrNone(Field(c, "parameter"))});
        sink.OnLoaded(loaded);
    } else if (name == "command") {
        sink.OnCommand({Bytes(Field(e, "line")), Bytes(Field(e, "word")), Bytes(Field(e, "params")),
                        NumberOf<int>(Field(e, "result")), BytesOrNone(Field(e, "output")), NumberOf<double>(Field(e, "ms"))});
    } else if (name == "notify") {
        sink.OnNotify({Bytes(Field(e, "name")), Bytes(Field(e, "data")), NumberOf<int>(Field(e, "result")),
                       BytesOrNone(Field(e, "output"))});
    } else if (name == "toast") {
        host::ToastEvent toast;
        toast.title = Bytes(Field(e, "title"));
        toast.wide = Field(e, "wide") == true;
        if (toast.wide) toast.wideMessage = Wide(Field(e, "message"));
        else toast.message = Bytes(Field(e, "message"));
        toast.link = BytesOrNone(Field(e, "link"));
        toast.flag = NumberOf<int32_t>(Field(e, "flag"));
        sink.OnToast(toast);
    } else if (name == "messagebox") {
        sink.OnMessageBox({Bytes(Field(e, "caption")), Bytes(Field(e, "text")), Field(e, "owner") == true,
                           NumberOf<uint32_t>(Field(e, "style"))});
    } else if (name == "chat") {
        sink.OnChat({Bytes(Field(e, "text"))});
    } else if (name == "error") {
        sink.OnError({Bytes(Field(e, "message"))});
    } else if (name == "speech") {
        sink.OnSpeech({Wide(Field(e, "text"))});
    } else if (name == "done") {
        sink.OnDone({Bytes(Field(e, "line"))});
    }
}

}  // namespace

std::string ReadJsonEvent(std::string_view line, host::EventSink& sink) {
    const json event = Parse(line);
    if (!event.is_object() || !Field(event, "event").is_string()) return std::string();
    const std::string name = Field(event, "event").get<std::string>();
    HandOn(name, event, sink);
    return name;
}

}  // namespace nimbrel::console
