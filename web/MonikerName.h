#pragma once
// The per-run name of the document URL protocol.
//
// Every start of the program forms a fresh name, "pvpmon-" and a new GUID
// (lower case, no braces), so no stored page can hold it: pages learn the
// prefix from the script object's base.

#include <string>

namespace pavilo {

inline constexpr const char* kPvpScheme = "pvp";

// A fresh name; raises Exception when no random source is available.
std::string NewMonikerName();
// The name of this run, formed on first use.
const std::string& MonikerName();
// The root URL: the page held in the page buffer ("pvp://" + name + "/").
std::string RootUrl();

} // namespace pavilo
