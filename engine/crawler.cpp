// One crawl step and the per-tick scheduler: which page a tick or the start
// command visits, and what a fetched page yields (title, results line,
// record, links).
#include "engine/crawler.h"

#include "engine/byte_string.h"

#include <utility>

namespace torvesk::engine {

const char kStartPageKey[] = "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57";

Crawler::Crawler(RecordTarget records, ErrorReporter report)
    : log_(std::move(records), std::move(report)), linkTable_(std::make_unique<LinkTable>()),
      harvest_(std::make_unique<HarvestedLinks>()) {}

void Crawler::CrawlInit(std::uint32_t seed) {
    linkTable_->SeedRandom(seed);
    SetCurrentUrl(kDefaultInitialUrl);
}

void Crawler::SetCurrentUrl(const std::string& url) {
    CopyBytes(currentUrl_, url.c_str());
}

std::optional<Visit> Crawler::StartCrawl() {
    if (stepInFlight()) {
        startHeld_ = true;
        return std::nullopt;
    }
    return BeginStep(currentUrl_, kStartPageKey);
}

std::optional<Visit> Crawler::CrawlTick() {
    if (!stepDone_)
        return std::nullopt;
    linkTable_->ShuffleAndDedupe();
    stepDone_ = false;
    const int next = linkTable_->PopNext();
    if (next == kNoLink)
        return std::nullopt;
    return BeginStep(linkTable_->URL(next), linkTable_->KEY(next));
}

// The visit keeps its own copies: the popped slot is reused by the next push.
// Until the step ends no tick may begin another.
Visit Crawler::BeginStep(const char* url, const char* key) {
    visiting_ = Visit{url, key};
    CopyBytes(currentUrl_, url);
    stepDone_ = false;
    return *visiting_;
}

ResultsLine Crawler::AnalyzePage(std::string_view body) {
    const Visit visit = std::move(visiting_.value());
    visiting_.reset();
    page_.Fill(body);
    char TITLE[kTextCapacity];
    page_.ExtractTitle(TITLE);
    ResultsLine line{row_, row_ > kLastRow,
                     std::to_string(linkTable_->count()) + ": URL:" + visit.url +
                         " TITLE:" + TITLE + " KEY:" + visit.key};
    if (line.clearsScreen)
        line.row = 0;
    findings_.title = TITLE;
    findings_.record =
        visit.url.empty() ? 0 : log_.Append(visit.url.c_str(), TITLE, visit.key.c_str());
    row_ = line.row + 1;
    PushHarvestedLinks();
    stepDone_ = true;
    return line;
}

std::optional<Visit> Crawler::TakeHeldStart() {
    if (!startHeld_ || stepInFlight())
        return std::nullopt;
    startHeld_ = false;
    return StartCrawl();
}

void Crawler::StopCrawl() {
    visiting_.reset();
    startHeld_ = false;
    stepDone_ = false;
    linkTable_->Clear();
}

void Crawler::PushHarvestedLinks() {
    page_.HarvestLinks(*harvest_);
    findings_.linksHarvested = harvest_->count;
    for (int i = 0; i < harvest_->count; ++i)
        linkTable_->PushLink(harvest_->URL[i], harvest_->KEY[i]);
}

} // namespace torvesk::engine
