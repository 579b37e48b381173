// A small web site served on 127.0.0.1 for crawl tests: pages with a title
// and double-quoted absolute links to each other, and the requests it
// served: their count, and their paths in order unless it only counts.
#pragma once

#include "support/http_test_server.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct SiteLink {
    std::string path; // on this site, ending in "/" so the crawler takes it whole
    std::string text;
};

class TestSite {
public:
    // Counted: only the number of requests is kept, so that a long crawl
    // measures the crawler and not a growing list of paths.
    enum class Requests { Logged, Counted };
    explicit TestSite(Requests requests = Requests::Logged);

    // Serves path as a page with this title and these links.
    void AddPage(const std::string& path, const std::string& title,
                 const std::vector<SiteLink>& links);
    // Serves each page "T<path>" with a link to each of its targets, whose
    // text is "to<target>".
    void AddLinkedPages(const std::map<std::string, std::vector<std::string>>& links);
    // Serves path with exactly this body.
    void AddRaw(const std::string& path, const std::string& body);
    // Holds every response back this long, as a slow server does.
    void SetDelay(std::chrono::milliseconds delay);

    std::string Url(const std::string& path) const { return server_.Url(path); }
    std::size_t RequestCount() const;
    // The path of every request so far, in order (a Logged site only).
    std::vector<std::string> RequestedPaths() const;

private:
    void Serve(const httplib::Request& request, httplib::Response& response);

    const Requests requests_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> bodies_;
    std::size_t requestCount_ = 0;
    std::vector<std::string> requested_;
    std::chrono::milliseconds delay_{0};
    // Last, so that it stops serving before what its handler uses goes away.
    HttpTestServer server_;
};
