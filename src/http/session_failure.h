#pragma once
// Failures raised inside HttpSession. They never leave the class: the
// operations its callers use turn them into a false or zero result.

struct SessionFailure {
    const char* message;
};

inline constexpr char kOpenInternetFailed[] = "open internet failed...";
inline constexpr char kConnectFailed[] = "connect failed...";
inline constexpr char kHandleNotOpened[] = "handle not opened...";
inline constexpr char kRequestFailed[] = "request failed...";
inline constexpr char kAdditionalHeaderFailed[] = "additional header failed...";
inline constexpr char kAddCookieFailed[] = "add cookie failed...";
inline constexpr char kUploadFailed[] = "request failed";   // the upload's own, without dots
inline constexpr char kConnectionFailed[] = "connection failed...";
inline constexpr char kResponseFailed[] = "response failed...";
