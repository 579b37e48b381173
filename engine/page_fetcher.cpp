// FetchPage: the current URL into the page buffer through the platform's
// Internet calls, one root handle per page.
#include "page_fetcher.h"

#include "crawl_state.h"
#include "internet.h"
#include "page_scanner.h"

#include <cstring>

namespace {

constexpr DWORD kPageBytes = kPageCapacity;

// A URL that fills its buffer without a terminator is no URL: nothing is opened.
const char* TerminatedUrl() {
    const char* url = g_crawlState.currentUrl;
    return std::memchr(url, 0, kUrlCapacity) != nullptr ? url : nullptr;
}

// Reads until the body ends or the page is full; a failed read is an empty page.
DWORD ReadBody(HINTERNET request) {
    DWORD ReadSize = 0;
    while (ReadSize < kPageBytes) {
        DWORD bytesRead = 0;
        const DWORD room = kPageBytes - ReadSize;
        if (!InternetReadFile(request, g_pageBuffer + ReadSize, room, &bytesRead) ||
            bytesRead > room)
            return 0;
        if (bytesRead == 0)
            break;
        ReadSize += bytesRead;
    }
    return ReadSize;
}

} // namespace

void FetchPage() {
    HINTERNET root = InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request =
        InternetOpenUrlA(root, TerminatedUrl(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    const DWORD ReadSize = ReadBody(request);
    g_pageBuffer[ReadSize] = 0;
    InternetCloseHandle(request);
    InternetCloseHandle(root);
}
