// Downloads the current URL into the page buffer through the platform's
// Internet calls. Any failure leaves an empty page.
#pragma once

constexpr const char* kUserAgent = "WININET Sample Program";

void FetchPage();
