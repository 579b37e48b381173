// The filler and links of a sized page.
#include "bench/sized_page.h"

#include "engine/page_scanner.h"

#include <algorithm>

using namespace torvesk::engine;

namespace {

constexpr int kLinksPerPage = 100;

} // namespace

std::string MakePage(const std::string& base, int page, std::size_t size) {
    std::string body = "<html><head><title>Page " + std::to_string(page) + "</title></head><body>";
    const std::size_t fillerPerLink = size / kLinksPerPage > 80 ? size / kLinksPerPage - 80 : 0;
    for (int k = 0; k < kLinksPerPage; ++k) {
        int target = (page * 7 + k * 13) % kSitePages;
        body += "<p>" + std::string(fillerPerLink, 'x') + "</p><a href=\"" + base + "/p" +
                std::to_string(target) + "/\">link " + std::to_string(k) + "</a>\n";
    }
    body += "</body></html>";
    body.resize(std::min<std::size_t>(body.size(), kPageCapacity), ' ');
    return body;
}
