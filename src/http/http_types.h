#pragma once
// Kinds of connection and request, and the records a session sends.

#include <string>
#include <vector>

enum UrlScheme { Ftp = 0, Http = 1, Https = 2 };

// The scheme code of an address whose scheme is none of the three: no
// connection is ever opened for it.
inline constexpr UrlScheme kUnknownScheme = static_cast<UrlScheme>(-1);

enum RequestMethod { MethodGet = 0, MethodPost = 1, MethodPostMultipart = 2 };

struct FormField {
    std::string name;
    std::string value;   // for a file field, the path of the file
    bool isFile = false;
};

// Ordered as inserted; a cookie uses name and value only.
using FormFieldList = std::vector<FormField>;
using CookieList = std::vector<FormField>;
