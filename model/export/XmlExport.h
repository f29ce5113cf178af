#pragma once
// XML export of a node tree: one element per node, named after its class,
// its properties as attributes, its children as child elements. One-way:
// nothing reads these files back. Page and element HTML is not written.

#include <cstdint>
#include <string>

#include "model/Node.h"

namespace pavilo {

// Writes the subtree of node to fileName as UTF-8 XML. Stored text that is
// not valid UTF-8 is read as Windows-1252. Raises Exception when the file
// cannot be created or written; a partly written file is left as it is.
void ExportXml(const std::string& fileName, const TNode* node);

// The value texts of the export.
// 8 upper-case hexadecimal digits, two's complement for negative ids.
std::string NodeIdText(int32_t id);
// A named colour without its "cl" ("BtnFace", "Red"), else "#RRGGBB".
std::string ColorText(TColor color);
// The user's short date (LC_TIME, strftime "%x"), a space and the long time
// ("%X"); the time is left out at midnight. A value outside the years 1 to
// 9999 is written as its day count.
std::string DateTimeText(TDateTime value);

} // namespace pavilo
