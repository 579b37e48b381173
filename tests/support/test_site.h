// A small web site served on 127.0.0.1 for crawl tests: pages with a title
// and double-quoted absolute links to each other, and a log of the paths
// requested, in order.
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
    TestSite();

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
    std::vector<std::string> RequestedPaths() const;

private:
    HttpTestServer server_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> bodies_;
    std::vector<std::string> requested_;
    std::chrono::milliseconds delay_{0};
};
