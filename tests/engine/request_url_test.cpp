// RequestUrl: what is percent-encoded before a URL goes to libcurl.
#include "engine/request_url.h"

#include <gtest/gtest.h>

TEST(RequestUrl, EncodesWhatAUrlMayNotHold) {
    EXPECT_EQ(RequestUrl("http://a/a b.html"), "http://a/a%20b.html");
    EXPECT_EQ(RequestUrl("http://a/日本"), "http://a/%E6%97%A5%E6%9C%AC") << "UTF-8";
    EXPECT_EQ(RequestUrl("http://a/\x83\x58"), "http://a/%83X") << "code page 932";
    EXPECT_EQ(RequestUrl("\"<>\\^`{|}"), "%22%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(RequestUrl(std::string("\t\r\n\x7f\0", 5)), "%09%0D%0A%7F%00");
}

TEST(RequestUrl, LeavesEveryOtherByteAsItIs) {
    const std::string urls[] = {
        "http://user:pw@[::1]:8080/a;b/c.html?d=e&f=g+h#i",
        "https://a/!$&'()*,-._~=:@/[]",
        "http://a/%41%e6%zz/100%/%", // escapes, bad escapes, lone "%": never encoded twice
        "",
    };
    for (const std::string& url : urls)
        EXPECT_EQ(RequestUrl(url), url);
}
