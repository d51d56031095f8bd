#pragma once
// The three built-in help texts, shown whole in message boxes with no owner
// and an OK button. Lines end with a line feed alone; names on one line are
// separated by a tab.

namespace nimbrel {

// The translation pairs that /xweather takes, under its own caption.
extern const char LanguageCodeHelp[];
extern const char kLanguageCodeHelpCaption[];

// The names /xcountry and /xstates take, shown when a typed name is not on
// the service's index page.
extern const char CountryListText[];
extern const char kCountryListCaption[];
extern const char StateListText[];
extern const char kStateListCaption[];

}  // namespace nimbrel
