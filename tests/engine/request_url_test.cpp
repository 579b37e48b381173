// RequestUrl and RedirectUrl: what goes on the wire for a URL as typed or
// found, and for a Location header.
#include "engine/request_url.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Sent(std::string_view url) {
    const WireUrl wire = RequestUrl(url);
    EXPECT_TRUE(wire.hostValid) << url;
    return wire.text;
}

TEST(RequestUrl, EncodesWhatAUrlMayNotHold) {
    EXPECT_EQ(Sent("http://a/a b.html"), "http://a/a%20b.html");
    EXPECT_EQ(Sent("http://a/日本"), "http://a/%E6%97%A5%E6%9C%AC") << "UTF-8";
    EXPECT_EQ(Sent("http://a/\x83\x58"), "http://a/%83X") << "code page 932";
    EXPECT_EQ(Sent("http://a/\"<>\\^`{|}"), "http://a/%22%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(Sent(std::string("http://a/\t\r\n\x7f\0x", 15)), "http://a/%09%0D%0A%7F%00x");
}

TEST(RequestUrl, LeavesEveryOtherByteAsItIs) {
    const std::string urls[] = {
        "http://user:pw@[::1]:8080/a;b/c.html?d=e&f=g+h#i",
        "https://a/!$&'()*,-._~=:@/[]",
        "http://a/%41%e6%zz/100%/%", // escapes, bad escapes, lone "%": never encoded twice
        "",
    };
    for (const std::string& url : urls)
        EXPECT_EQ(Sent(url), url);
}

// As a browser takes what is typed: the ends are trimmed, the inside is not.
TEST(RequestUrl, DropsControlsAndSpacesAtEitherEndOnly) {
    EXPECT_EQ(Sent(" http://a/x.html"), "http://a/x.html");
    EXPECT_EQ(Sent("http://a/x.html \n"), "http://a/x.html");
    EXPECT_EQ(Sent(std::string("\t\x01 http://a/b c/\r\n\0", 20)), "http://a/b%20c/");
    EXPECT_EQ(Sent("http://a/x\x7f"), "http://a/x%7F") << "DEL is no C0 control";
    EXPECT_EQ(Sent(" \t\r\n"), "");
}

TEST(RequestUrl, AnAddressWithoutASchemeIsHttp) {
    for (const auto& [typed, sent] :
         {std::pair{"example.com/", "http://example.com/"},
          {"ftp.localhost:8080/page.html", "http://ftp.localhost:8080/page.html"},
          {"imap.localhost:993/", "http://imap.localhost:993/"},
          {"localhost:8080", "http://localhost:8080"},
          {"127.0.0.1:80/x", "http://127.0.0.1:80/x"},
          {" www.example.com ", "http://www.example.com"},
          {"HTTPS://a/", "HTTPS://a/"},
          {"file:///etc/passwd", "file:///etc/passwd"},
          {"mailto:a@b", "mailto:a@b"}})
        EXPECT_EQ(Sent(typed), sent) << typed;
}

// Typed into the dialog a Japanese name is stored in code page 932; found on
// a page it may be UTF-8 or percent-encoded. All go out as the same name.
TEST(RequestUrl, InternationalHostsGoOutInTheirAsciiForm) {
    for (const char* url : {"http://日本.example/", "http://\x93\xfa\x96\x7b.example/",
                            "http://%E6%97%A5%E6%9C%AC.example/", "http://%93%FA%96%7B.example/"})
        EXPECT_EQ(Sent(url), "http://xn--wgv71a.example/") << url;
    EXPECT_EQ(Sent("http://Bücher.example/"), "http://xn--bcher-kva.example/");
    EXPECT_EQ(Sent("日本.example:8080/"), "http://xn--wgv71a.example:8080/");
    EXPECT_EQ(Sent("http://u:p@日本.example:8080/日本"),
              "http://u:p@xn--wgv71a.example:8080/%E6%97%A5%E6%9C%AC")
        << "only the host changes form";
}

TEST(RequestUrl, BytesThatMakeNoHostNameAreRefused) {
    for (const char* url :
         {"http://%E6%97%A5%2F.example/", "http://\x81\x20.example/", "http://日本 .example/"}) {
        const WireUrl wire = RequestUrl(url);
        EXPECT_FALSE(wire.hostValid) << url;
        EXPECT_EQ(wire.text.find_first_of(" \r\n\x81"), std::string::npos) << "printable as it is";
    }
}

// The normal examples of reference resolution in RFC 3986, section 5.4.1,
// and some of its abnormal ones (5.4.2).
TEST(RedirectUrl, ResolvesReferencesAsTheGenericSyntaxDoes) {
    const std::pair<const char*, const char*> examples[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g#s", "http://a/b/c/g#s"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"g;x", "http://a/b/c/g;x"},
        {"g;x?y#s", "http://a/b/c/g;x?y#s"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"./g/.", "http://a/b/c/g/"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/../x", "http://a/b/c/g?y/../x"},
        {"g#s/../x", "http://a/b/c/g#s/../x"},
        {"http:g", "http:g"},
    };
    for (const auto& [reference, target] : examples)
        EXPECT_EQ(RedirectUrl("http://a/b/c/d;p?q", reference).text, target) << reference;
}

// A Location holding nothing but whitespace is no redirection; around a
// target, whitespace and the line's end are not part of it.
TEST(RedirectUrl, WhitespaceAroundOrInsteadOfATargetIsDropped) {
    for (const char* empty : {"", " ", "\t", "\r", "\n", " \t\r\n"})
        EXPECT_EQ(RedirectUrl("http://a/b", empty).text, "") << int(empty[0]);
    EXPECT_EQ(RedirectUrl("http://a/b", " \t/x y\r").text, "http://a/x%20y");
    EXPECT_EQ(RedirectUrl("http://a/b", "http://日本.example/\n").text,
              "http://xn--wgv71a.example/");
}

} // namespace
