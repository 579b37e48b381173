// Splitting URLs into parts and resolving references, the generic URI way
// (RFC 3986, sections 3, 5.2 and 5.3), byte by byte.
#include "engine/url_parts.h"

#include <algorithm>

namespace torvesk::engine {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeCharacter(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme at the start of rest, which then starts after its ":".
std::optional<std::string_view> TakeScheme(std::string_view& rest) {
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos || colon == 0 || !IsAsciiLetter(rest[0]))
        return std::nullopt;
    const std::string_view name = rest.substr(0, colon);
    if (!std::all_of(name.begin(), name.end(), IsSchemeCharacter))
        return std::nullopt;
    rest.remove_prefix(colon + 1);
    return name;
}

// Cuts what follows the first separator off rest and returns it.
std::optional<std::string_view> TakeTail(std::string_view& rest, char separator) {
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view tail = rest.substr(at + 1);
    rest = rest.substr(0, at);
    return tail;
}

void DropLastSegment(std::string& output) {
    const std::size_t slash = output.rfind('/');
    output.erase(slash == std::string::npos ? 0 : slash);
}

// Moves the first segment of input, with its leading "/" if any, to output.
void MoveFirstSegment(std::string_view& input, std::string& output) {
    const std::size_t end = input.find('/', 1);
    output += input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end);
}

std::string RemoveDotSegments(std::string_view input) {
    std::string output;
    while (!input.empty()) {
        if (input.starts_with("../") || input.starts_with("./")) {
            input.remove_prefix(input.find('/') + 1);
        } else if (input.starts_with("/./") || input == "/.") {
            input = input.size() == 2 ? std::string_view("/") : input.substr(2);
        } else if (input.starts_with("/../") || input == "/..") {
            input = input.size() == 3 ? std::string_view("/") : input.substr(3);
            DropLastSegment(output);
        } else if (input == "." || input == "..") {
            input = {};
        } else {
            MoveFirstSegment(input, output);
        }
    }
    return output;
}

std::string MergePaths(const UrlParts& base, std::string_view path) {
    if (base.authority && base.path.empty())
        return "/" + std::string(path);
    const std::size_t slash = base.path.rfind('/');
    const std::string_view directory =
        slash == std::string_view::npos ? std::string_view() : base.path.substr(0, slash + 1);
    return std::string(directory) + std::string(path);
}

std::string Compose(const UrlParts& parts, const std::string& path) {
    std::string url;
    if (parts.scheme)
        url.append(*parts.scheme).append(":");
    if (parts.authority)
        url.append("//").append(*parts.authority);
    url += path;
    if (parts.query)
        url.append("?").append(*parts.query);
    if (parts.fragment)
        url.append("#").append(*parts.fragment);
    return url;
}

} // namespace

UrlParts SplitUrl(std::string_view url) {
    UrlParts parts;
    std::string_view rest = url;
    parts.fragment = TakeTail(rest, '#');
    parts.query = TakeTail(rest, '?');
    parts.scheme = TakeScheme(rest);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        parts.authority = rest.substr(0, slash);
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash);
    }
    parts.path = rest;
    return parts;
}

std::string_view HostOf(std::string_view authority) {
    const std::size_t at = authority.rfind('@');
    const std::string_view host =
        at == std::string_view::npos ? authority : authority.substr(at + 1);
    if (host.starts_with('[')) {
        const std::size_t close = host.find(']');
        return host.substr(0, close == std::string_view::npos ? close : close + 1);
    }
    return host.substr(0, host.find(':'));
}

std::string ResolveReference(std::string_view base, std::string_view reference) {
    const UrlParts from = SplitUrl(base);
    UrlParts target = SplitUrl(reference);
    if (target.scheme || target.authority) {
        target.scheme = target.scheme ? target.scheme : from.scheme;
        return Compose(target, RemoveDotSegments(target.path));
    }
    target.scheme = from.scheme;
    target.authority = from.authority;
    if (target.path.empty()) {
        target.query = target.query ? target.query : from.query;
        return Compose(target, std::string(from.path));
    }
    if (target.path.starts_with('/'))
        return Compose(target, RemoveDotSegments(target.path));
    return Compose(target, RemoveDotSegments(MergePaths(from, target.path)));
}

// Without "//", what comes before the first "/" is read as the authority
// too: "user:pw@host/" is a password however the rest reads it.
std::string WithPasswordHidden(std::string_view url) {
    std::string shown(url);
    std::optional<std::string_view> authority = SplitUrl(url).authority;
    if (!authority)
        authority = url.substr(0, url.find('/'));
    const std::size_t at = authority ? authority->rfind('@') : std::string_view::npos;
    const std::size_t colon = authority ? authority->substr(0, at).find(':') : at;
    if (at == std::string_view::npos || colon == std::string_view::npos)
        return shown;
    const std::size_t start = authority->data() - url.data() + colon + 1;
    return shown.replace(start, at - colon - 1, "***");
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

} // namespace torvesk::engine
