#pragma once
// Character references and whitespace in the texts the HTML tag scanner
// reports. Pure functions over byte strings; they never fail.

#include <string>
#include <string_view>

namespace pavilo {

// The entity name of a character code 0..255: "quot", "amp", "lt", "gt" and
// the 96 Latin-1 names for 160..255 ("nbsp" through "yuml"); empty otherwise.
std::string_view EntityName(int code);
// The code of an entity name (case-sensitive), or -1.
int EntityCode(std::string_view name);

// Replaces the character references of s: "&name;" from the entity table,
// "&#65;" and "&#x41;" by the single byte of the number's low 8 bits.
// A reference that does not convert stays as written; an "&" followed by
// another "&" before the next ";" is copied unchanged.
std::string TranslateEntities(std::string_view s);
void AppendTranslatedEntities(std::string_view s, std::string& out);

// Drops leading whitespace (TAB, LF, CR, space) and every whitespace
// character that follows a copied space. TAB, CR and LF keep their value.
std::string NormalizeWhiteSpace(std::string_view s);
void AppendNormalizedWhiteSpace(std::string_view s, std::string& out);
// True when NormalizeWhiteSpace would return s unchanged.
bool IsNormalizedWhiteSpace(std::string_view s);

} // namespace pavilo
