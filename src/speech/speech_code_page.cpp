#include "speech_code_page.h"

UINT ThreadAnsiCodePage() noexcept {
    DWORD codePage = 0;
    // Locales written only in Unicode answer 0: no ANSI code page of their own.
    int read = GetLocaleInfoW(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                              reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    if (read == 0 || codePage == 0) return GetACP();
    return codePage;
}
