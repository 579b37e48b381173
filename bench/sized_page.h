// Pages of a chosen size for the crawl benchmarks: a title and 100 absolute
// links to other pages of the same site, spread through filler text like a
// long article.
#pragma once

#include <cstddef>
#include <string>

// The site's pages are base + "/p0/" to base + "/p49/".
constexpr int kSitePages = 50;

// Page number page of the site at base, about size bytes long (at most the
// page buffer's capacity).
std::string MakePage(const std::string& base, int page, std::size_t size);
