// The pages, request log and gate of TestSite.
#include "support/test_site.h"

#include <gtest/gtest.h>

TestSite::TestSite(Requests requests) : requests_(requests) {
    server_.server().Get(".*", [this](const httplib::Request& request,
                                      httplib::Response& response) { Serve(request, response); });
    server_.Start();
}

TestSite::~TestSite() {
    OpenGate();
}

// The response is held, on the server's thread, after its request counts.
void TestSite::Serve(const httplib::Request& request, httplib::Response& response) {
    std::unique_lock lock(mutex_);
    ++requestCount_;
    if (requests_ == Requests::Logged)
        requested_.push_back(request.path);
    gate_.wait(lock, [this] { return !gateClosed_ || passes_ > 0; });
    if (gateClosed_)
        --passes_;
    auto page = bodies_.find(request.path);
    if (page == bodies_.end()) {
        response.status = 404;
        return;
    }
    response.set_content(page->second, "text/html");
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

void TestSite::CloseGate() {
    std::lock_guard lock(mutex_);
    gateClosed_ = true;
    passes_ = 0;
}

void TestSite::LetThrough() {
    {
        std::lock_guard lock(mutex_);
        ++passes_;
    }
    gate_.notify_all();
}

void TestSite::OpenGate() {
    {
        std::lock_guard lock(mutex_);
        gateClosed_ = false;
    }
    gate_.notify_all();
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
