#include "services/translation/apertium/apertium_pipeline.h"

#include "services/translation/apertium/apertium_stream_text.h"
#include "services/support/edge_blanks.h"

namespace nimbrel::services {
namespace {

// Room for an answer much longer than its text, never for a runaway one.
std::size_t MaxAnswerBytes(std::size_t requestBytes) { return 8 * requestBytes + 64 * 1024; }

// Unique to each request, so that a late answer to an earlier one (after
// a doubled NUL, say) is never taken for this one's.
std::string MarkerBlock(unsigned long long request) { return "[#" + std::to_string(request) + "]"; }

}  // namespace

ApertiumPipeline::ApertiumPipeline(std::vector<std::string> command, std::chrono::milliseconds timeLimit)
    : command_(std::move(command)), timeLimit_(timeLimit) {}

std::optional<std::string> ApertiumPipeline::Translate(std::string_view text) {
    std::string request(text);
    for (char& c : request) {
        if (c == '\0') c = ' ';  // a NUL would end the request early
    }
    const EdgeBlanks edges = SplitEdgeBlanks(request);
    if (edges.words.empty()) return request;

    const auto deadline = Child::Clock::now() + timeLimit_;
    std::unique_lock<std::timed_mutex> lock(mutex_, deadline);
    if (!lock.owns_lock()) return std::nullopt;
    const auto translated = Exchange(edges.words, deadline);
    if (!translated) return std::nullopt;
    return WithEdgeBlanks(edges, *translated);
}

std::optional<std::string> ApertiumPipeline::Exchange(std::string_view text, Child::Clock::time_point deadline) {
    if (child_ && child_->HasExited()) child_.reset();
    if (!child_) {
        auto started = Child::Start(command_);
        if (!started) return std::nullopt;
        child_.emplace(std::move(*started));
    }

    const std::string marker = MarkerBlock(++requests_);
    const std::string request = ApertiumRequest(text, marker);
    const std::string ending = marker + '\0';
    std::string output;
    const auto exchanged = child_->Exchange(
        request, false, deadline, MaxAnswerBytes(request.size()),
        [&ending](std::string_view out) { return out.find(ending) != std::string_view::npos; }, output);
    if (exchanged != Child::Exchanged::Complete) {
        child_.reset();  // kills the whole pipeline
        return std::nullopt;
    }
    // Earlier answers, if any, end with a NUL before this one.
    const std::size_t end = output.find(ending);
    const std::size_t previous = output.rfind('\0', end);
    const std::size_t start = previous == std::string::npos ? 0 : previous + 1;
    return ApertiumAnswerText(std::string_view(output).substr(start, end - start));
}

pid_t ApertiumPipeline::processGroup() const {
    std::lock_guard<std::timed_mutex> lock(mutex_);
    return child_ ? child_->processGroup() : 0;
}

}  // namespace nimbrel::services
