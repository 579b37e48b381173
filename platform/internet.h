// The Internet client calls the page fetcher makes, on libcurl. Only the
// parts the fetcher uses exist: a root handle that carries the user agent, a
// URL request performed at open, and a read of the buffered body.
#pragma once

#include "win_types.h"

struct InternetHandle;
using HINTERNET = InternetHandle*;

constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000u;

// Bounds that keep any fetch from hanging the program; one place for all.
struct FetchLimits {
    long connectTimeoutSeconds = 30;
    long stallTimeoutSeconds = 30; // a transfer that receives nothing this long fails
    long maxRedirections = 20;
    long totalTimeoutSeconds = 120;
    DWORD maxBodyBytes = 1000000; // the rest of a longer body is not read
};

// The limits every new request takes; tests shorten them.
FetchLimits& InternetFetchLimits();

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                        const char* proxyBypass, DWORD flags);
// Performs the request (redirections followed, http and https only); returns
// nullptr when it fails.
HINTERNET InternetOpenUrlA(HINTERNET internet, const char* url, const char* headers,
                           DWORD headersLength, DWORD flags, DWORD_PTR context);
BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD bytesToRead, DWORD* bytesRead);
BOOL InternetCloseHandle(HINTERNET handle);
