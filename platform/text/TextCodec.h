#pragma once
// The one place that converts text between the model's byte strings and
// Unicode. The program writes UTF-8; documents from the original platform
// hold Windows-1252, which is how stored text that is not valid UTF-8 reads.
// Qt-free, so the core may use it.

#include <string>
#include <string_view>

namespace pavilo::text {

bool IsValidUtf8(std::string_view bytes);
// Stored bytes as UTF-8 for showing: valid UTF-8 as it is, else Windows-1252.
std::string ToUtf8(std::string_view stored);
// Stored bytes as UTF-16, read the same way.
std::u16string ToUtf16(std::string_view stored);
// UTF-16 to the stored form (UTF-8); unpaired surrogates become U+FFFD.
std::string FromUtf16(std::u16string_view text);

} // namespace pavilo::text
