#pragma once
// Embedded object records ("TPF0" ...) that carry pictures and the notes
// string list inside node records.

#include "model/Picture.h"
#include "model/StringList.h"
#include "model/stream/ValueStream.h"

namespace pavilo {

void WritePictureRecord(TValueWriter& stream, const TPicture& picture);
void WriteStringsRecord(TValueWriter& stream, const TStringList& strings);
// An unknown image class leaves the picture empty; a record without entries
// leaves it as it was.
void ReadPictureRecord(TValueReader& stream, TPicture& picture);
void ReadStringsRecord(TValueReader& stream, TStringList& strings);

} // namespace pavilo
