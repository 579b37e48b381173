// RequestUrl and RedirectUrl: what goes on the wire for a URL as typed or
// found, and for a Location header.
#include "engine/request_url.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace torvesk::engine;

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

// As a browser takes what is typed: no scheme means http, whatever the host
// looks like, and the ends are trimmed, not the inside.
TEST(RequestUrl, TypedAddressesAreHttpWithoutTheirOuterSpaces) {
    const std::pair<std::string, const char*> typed[] = {
        {"example.com/", "http://example.com/"},
        {"ftp.localhost:21/a", "http://ftp.localhost:21/a"},
        {"localhost:8080", "http://localhost:8080"},
        {"HTTPS://a/", "HTTPS://a/"},
        {"file:///etc/passwd", "file:///etc/passwd"},
        {"mailto:a@b", "mailto:a@b"},
        {std::string("\t\x01 http://a/b c/\r\n\0", 20), "http://a/b%20c/"},
        {"http://a/x\x7f", "http://a/x%7F"},
        {" \t\r\n", ""}};
    for (const auto& [address, sent] : typed)
        EXPECT_EQ(Sent(address), sent) << address;
}

// Typed into the dialog a Japanese name is stored in code page 932; found on
// a page it may be UTF-8 or percent-encoded. All go out as the same name.
TEST(RequestUrl, InternationalHostsGoOutInTheirAsciiForm) {
    for (const char* url : {"http://日本.example/", "http://\x93\xfa\x96\x7b.example/",
                            "http://%E6%97%A5%E6%9C%AC.example/", "日本.example"})
        EXPECT_EQ(Sent(url).substr(0, 25), "http://xn--wgv71a.example") << url;
    EXPECT_EQ(Sent("http://u@Bücher.example:8/ü"), "http://u@xn--bcher-kva.example:8/%C3%BC");
    for (const char* url : {"http://%E6%97%A5%2F.example/", "http://\x81\x20.example/"})
        EXPECT_FALSE(RequestUrl(url).hostValid) << url;
    // The current rules, not the transitional ones: "ß" and "ς" are letters
    // of their own, not "ss" and "σ".
    EXPECT_EQ(Sent("http://straße.example/"), "http://xn--strae-oqa.example/");
    EXPECT_NE(Sent("http://ς.example/"), Sent("http://σ.example/"));
}

// What the DNS could never hold is no host name, however it is written; an
// address is no name, and the host comes out lower-case for the checks.
TEST(RequestUrl, HostsTheDnsCannotHoldAreNotValid) {
    const std::string longest(63, 'a');
    for (const std::string& url : std::initializer_list<std::string>{
             "http://a..b/", "http://.a/", "http://a.b../", "http://./",
             "http://" + longest + "a.b/", "http://xn--.example/", "http://XN--/",
             "http://日本..example/"})
        EXPECT_FALSE(RequestUrl(url).hostValid) << url;
    for (const std::string& url : std::initializer_list<std::string>{
             "http://a.b./", "http://" + longest + ".b/", "http://xn--a.b/", "http://127.0.0.1/",
             "http://[::1]:8/", "http://日本.example./"})
        EXPECT_TRUE(RequestUrl(url).hostValid) << url;
    const WireUrl wire = RequestUrl("HTTP://User@WWW.Example.COM:8/Path");
    EXPECT_EQ(wire.scheme, "http");
    EXPECT_EQ(wire.host, "www.example.com");
    EXPECT_EQ(wire.text, "HTTP://User@WWW.Example.COM:8/Path") << "sent as written";
}

// Whatever slashes follow http: or https:, the host is the one the network
// library would contact, so the checks on it (the password hidden, .invalid,
// the proxy exceptions) hold for it; other schemes keep their form.
TEST(RequestUrl, WebAddressesNameTheirHostWhateverSlashesFollowTheScheme) {
    const std::pair<const char*, const char*> typed[] = {
        {"http:/u:pw@127.0.0.1:1/", "http://u:pw@127.0.0.1:1/"},
        {"http:u:pw@127.0.0.1:1/", "http://u:pw@127.0.0.1:1/"},
        {"https:/u:pw@h/", "https://u:pw@h/"},
        {"http:\\\\u:pw@h/", "http://u:pw@h/"},
        {"HTTP:///h/", "HTTP://h/"},
        {" HtTpS:\\/h/a\\b ", "HtTpS://h/a%5Cb"},
        {"http:8080/", "http://http:8080/"}, // a port, not a scheme
        {"ftp:/h/", "ftp:/h/"},
        {"file:/etc/passwd", "file:/etc/passwd"},
    };
    for (const auto& [address, sent] : typed)
        EXPECT_EQ(Sent(address), sent) << address;
    EXPECT_EQ(RequestUrl("http:/x.invalid/").host, "x.invalid");
    EXPECT_EQ(RequestUrl("http:\\\\127.0.0.1:8/").host, "127.0.0.1");
    EXPECT_FALSE(RequestUrl("http:/bad..name/").hostValid);
}

// A redirection to another web scheme reads as a typed address does; to the
// hop's own scheme, as browsers read it: relative unless two slashes follow.
TEST(RedirectUrl, WebReferencesWithoutTwoSlashesReadAsBrowsersReadThem) {
    const std::pair<const char*, const char*> references[] = {
        {"https:/u:pw@h/", "https://u:pw@h/"},    {"https:h/x", "https://h/x"},
        {"HTTPS:\\\\h/", "HTTPS://h/"},           {"http:/g", "http://a/g"},
        {"http:u:pw@h/", "http://a/b/c/u:pw@h/"}, {"http:\\\\h/x", "http://h/x"},
        {"http:?y", "http://a/b/c/d;p?y"},
    };
    for (const auto& [reference, target] : references)
        EXPECT_EQ(RedirectUrl("http://a/b/c/d;p?q", reference).text, target) << reference;
}

// The examples of reference resolution in RFC 3986, section 5.4; a Location
// of only whitespace has no target.
TEST(RedirectUrl, ResolvesReferencesAgainstTheHop) {
    // Each reference, then its target.
    const char* const examples[] = {"g:h",        "g:h",
                                    "g",          "http://a/b/c/g",
                                    "./g",        "http://a/b/c/g",
                                    "g/",         "http://a/b/c/g/",
                                    "/g",         "http://a/g",
                                    "//g",        "http://g",
                                    "?y",         "http://a/b/c/d;p?y",
                                    "g?y",        "http://a/b/c/g?y",
                                    "#s",         "http://a/b/c/d;p?q#s",
                                    "g#s",        "http://a/b/c/g#s",
                                    ";x",         "http://a/b/c/;x",
                                    "g;x?y#s",    "http://a/b/c/g;x?y#s",
                                    ".",          "http://a/b/c/",
                                    "..",         "http://a/b/",
                                    "../g",       "http://a/b/g",
                                    "../../",     "http://a/",
                                    "../../../g", "http://a/g",
                                    "/./g",       "http://a/g",
                                    "/../g",      "http://a/g",
                                    "g.",         "http://a/b/c/g.",
                                    "..g",        "http://a/b/c/..g",
                                    "./g/.",      "http://a/b/c/g/",
                                    "g;x=1/../y", "http://a/b/c/y",
                                    "g?y/../x",   "http://a/b/c/g?y/../x",
                                    "g#s/../x",   "http://a/b/c/g#s/../x",
                                    "http:g",     "http://a/b/c/g",
                                    " \t/x y\r",  "http://a/x%20y",
                                    "",           "",
                                    " \t\r\n",    ""};
    for (std::size_t i = 0; i < std::size(examples); i += 2)
        EXPECT_EQ(RedirectUrl("http://a/b/c/d;p?q", examples[i]).text, examples[i + 1])
            << examples[i];
    // A base with an authority and an empty path merges as if its path were "/".
    EXPECT_EQ(RedirectUrl("http://a", "g").text, "http://a/g");
    EXPECT_EQ(RedirectUrl("http://a?q", "../g?y").text, "http://a/g?y");
}

} // namespace
