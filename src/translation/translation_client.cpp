#include "translation_client.h"

#include "translation/translation_page.h"
#include "http/page_fetch.h"

namespace nimbrel {

namespace {

// The translation, or an error text; answered is false when the service
// could not be reached at all.
std::string Translate(const PageSource& service, const std::string& text, const std::string& pair,
                      bool& answered) {
    HttpSession session;
    std::string body;
    FetchResult result = FetchPage(session, service, TranslationRequestPath(text, pair), body);
    answered = result == FetchResult::Fetched;
    switch (result) {
        case FetchResult::ConnectFailed: return kTranslationConnectError;
        case FetchResult::RequestFailed: return kTranslationRequestError;
        case FetchResult::Fetched: break;
    }
    return ExtractTranslation(body);
}

}  // namespace

std::string TranslateText(const std::string& text, const std::string& pair, const PageSource& service) {
    bool answered = false;
    return Translate(service, text, pair, answered);
}

std::string ReportTranslator::operator()(const std::string& text, const std::string& pair) {
    if (unanswered_) return *unanswered_;
    bool answered = false;
    std::string result = Translate(service_, text, pair, answered);
    if (!answered) unanswered_ = result;
    return result;
}

}  // namespace nimbrel
