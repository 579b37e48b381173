// How http and https addresses are read whatever slashes follow the scheme
// ("http:/host", "http:host", "http:\\host"): the way browsers read them and
// the network library would, so that every check made on the host is made on
// the host that is really contacted. Every other address stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace torvesk::engine {

// url (an absolute address, as typed) with "//" and nothing else between an
// http or https scheme (any case) and the authority: the run of "/" and "\"
// there, of any length, none included, is the authority's start.
std::string WithAuthoritySlashes(std::string_view url);

// A redirection's reference as it resolves against a hop of hopScheme:
// naming another web scheme, as WithAuthoritySlashes; naming the hop's own
// scheme, relative unless two or more slashes follow ("http:g" is "./g",
// "http:/g" is "/g", "http:\\g" is "//g").
std::string AsReference(std::string_view reference, std::string_view hopScheme);

} // namespace torvesk::engine
