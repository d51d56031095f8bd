#pragma once
// Kinds of connection and request, and the records a session sends.

#include <string>
#include <vector>

namespace nimbrel {

// Unknown stands for an address whose scheme is none of the three: no
// connection is ever opened for it.
enum class UrlScheme { Unknown = -1, Ftp = 0, Http = 1, Https = 2 };

enum class RequestMethod { Get = 0, Post = 1, PostMultipart = 2 };

struct FormField {
    std::string name;
    std::string value;   // for a file field, the path of the file
    bool isFile = false;
};

// Ordered as inserted; a cookie uses name and value only.
using FormFieldList = std::vector<FormField>;
using CookieList = std::vector<FormField>;

}  // namespace nimbrel
