// The pages and request log of TestSite.
#include "support/test_site.h"

#include <gtest/gtest.h>

#include <thread>

TestSite::TestSite(Requests requests) : requests_(requests) {
    server_.server().Get(".*", [this](const httplib::Request& request,
                                      httplib::Response& response) { Serve(request, response); });
    server_.Start();
}

void TestSite::Serve(const httplib::Request& request, httplib::Response& response) {
    std::unique_lock lock(mutex_);
    ++requestCount_;
    if (requests_ == Requests::Logged)
        requested_.push_back(request.path);
    const auto delay = delay_;
    auto page = bodies_.find(request.path);
    if (page == bodies_.end()) {
        response.status = 404;
        return;
    }
    response.set_content(page->second, "text/html");
    lock.unlock();
    std::this_thread::sleep_for(delay);
}

void TestSite::AddPage(const std::string& path, const std::string& title,
                       const std::vector<SiteLink>& links) {
    std::string body = "<html><head><title>" + title + "</title></head><body>\n";
    for (const SiteLink& link : links)
        body += "<a href=\"" + Url(link.path) + "\">" + link.text + "</a>\n";
    AddRaw(path, body + "</body></html>\n");
}

void TestSite::AddLinkedPages(const std::map<std::string, std::vector<std::string>>& links) {
    for (const auto& [page, targets] : links) {
        std::vector<SiteLink> siteLinks;
        for (const std::string& target : targets)
            siteLinks.push_back({target, "to" + target});
        AddPage(page, "T" + page, siteLinks);
    }
}

void TestSite::AddRaw(const std::string& path, const std::string& body) {
    std::lock_guard lock(mutex_);
    bodies_[path] = body;
}

void TestSite::SetDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    delay_ = delay;
}

std::size_t TestSite::RequestCount() const {
    std::lock_guard lock(mutex_);
    return requestCount_;
}

std::vector<std::string> TestSite::RequestedPaths() const {
    EXPECT_EQ(requests_, Requests::Logged) << "this site only counts its requests";
    std::lock_guard lock(mutex_);
    return requested_;
}
