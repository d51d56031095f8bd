#pragma once
// Base addresses of the two web services the plug-in reads. The hosts are
// reserved names that never resolve by themselves: in tests and in the
// console host every request reaches the stand-in services through the
// process's preconfigured proxy.

namespace nimbrel {

inline constexpr char kWeatherServiceAddress[] = "http://weather.example";
inline constexpr char kTranslationServiceAddress[] = "http://translate.example";

// The agent text every request to either service carries.
inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; )";

}  // namespace nimbrel
