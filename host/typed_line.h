#pragma once
// One line typed into the host stand-in, taken apart as the host does.

#include <string>

namespace nimbrel::host {

struct TypedLine {
    enum class Kind {
        Command,    // "/word params": word up to the first blank, params after it as typed
        Configure,  // ":configure"
        Notify,     // ":notify NAME DATA": word is the name, params the data
        Quit,       // ":quit"
        Chat,       // anything else: params is the text
    };
    Kind kind = Kind::Chat;
    std::string word;
    std::string params;
};

TypedLine ParseTypedLine(const std::string& line);

}  // namespace nimbrel::host
