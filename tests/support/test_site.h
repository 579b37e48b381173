// A small web site served on 127.0.0.1 for crawl tests: pages with a title
// and double-quoted absolute links to each other, the requests it served
// (their count, and their paths in order unless it only counts), and a gate
// that holds its responses back, as a slow server does, until the test lets
// them through.
#pragma once

#include "support/http_test_server.h"

#include <chrono>
#include <condition_variable>
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
    ~TestSite(); // opens the gate, so that no held response outlives the site

    // Serves path as a page with this title and these links.
    void AddPage(const std::string& path, const std::string& title,
                 const std::vector<SiteLink>& links);
    // Serves each page "T<path>" with a link to each of its targets, whose
    // text is "to<target>".
    void AddLinkedPages(const std::map<std::string, std::vector<std::string>>& links);
    // Serves path with exactly this body.
    void AddRaw(const std::string& path, const std::string& body);
    // From now on each response waits at the gate, its request already
    // counted, until LetThrough or OpenGate lets it go.
    void CloseGate();
    // Lets one response through the closed gate: one held now, or the next.
    void LetThrough();
    // Lets every response through, held or to come.
    void OpenGate();

    std::string Url(const std::string& path) const { return server_.Url(path); }
    std::size_t RequestCount() const;
    // See HttpTestServer::WaitForOpenConnectionsAtMost.
    bool WaitForOpenConnectionsAtMost(int count, std::chrono::milliseconds bound) {
        return server_.WaitForOpenConnectionsAtMost(count, bound);
    }
    // The path of every request so far, in order (a Logged site only).
    std::vector<std::string> RequestedPaths() const;

private:
    void Serve(const httplib::Request& request, httplib::Response& response);

    const Requests requests_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> bodies_;
    std::size_t requestCount_ = 0;
    std::vector<std::string> requested_;
    std::condition_variable gate_;
    bool gateClosed_ = false;
    std::size_t passes_ = 0; // responses the closed gate lets through

    // Last, so that it stops serving before what its handler uses goes away.
    HttpTestServer server_;
};
