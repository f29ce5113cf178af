#include "model/stream/ObjectRecord.h"

#include <optional>

namespace pavilo {

namespace {

constexpr std::string_view kSignature = "TPF0";
constexpr std::string_view kCarrier = "TCarrier";
constexpr std::string_view kDataProperty = "Persistent.Data";
constexpr std::string_view kStringsProperty = "Persistent.Strings";

void writeHeader(TValueWriter& stream)
{
    stream.WriteRaw(kSignature);
    stream.WriteShortRaw(kCarrier);
    stream.WriteShortRaw("");
}

void writeFooter(TValueWriter& stream)
{
    stream.WriteListEnd(); // property entries
    stream.WriteListEnd(); // child objects
}

// Skips one typed value of a property this program does not know.
void skipValue(TValueReader& stream, int depth = 0)
{
    size_t at = stream.Position();
    if (depth > 64)
        stream.Fail("property values nested too deeply", at);
    switch (stream.PeekByte("a property value")) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
        stream.ReadInteger();
        return;
    case vaString:
    case vaLString:
        stream.ReadString();
        return;
    case vaFalse:
    case vaTrue:
        stream.ReadBoolean();
        return;
    case vaDate:
        stream.ReadDate();
        return;
    case vaBinary:
        stream.ReadBinary();
        return;
    case vaList:
        stream.ReadListBegin();
        while (!stream.EndOfList())
            skipValue(stream, depth + 1);
        stream.ReadListEnd();
        return;
    default:
        stream.Fail("unsupported property value type", at);
    }
}

// Reads the record, handing each property to onProperty, which reads its
// value and returns true, or returns false to have it skipped.
template <typename F>
void readRecord(TValueReader& stream, F onProperty)
{
    size_t at = stream.Position();
    if (stream.ReadRaw(4, "an object record") != kSignature)
        stream.Fail("embedded object record without TPF0 signature", at);
    stream.ReadShortRaw("an object class name");
    stream.ReadShortRaw("an object name");
    for (;;) {
        std::string name = stream.ReadShortRaw("a property name");
        if (name.empty())
            break;
        if (!onProperty(name))
            skipValue(stream);
    }
    at = stream.Position();
    if (stream.ReadRaw(1, "an object record")[0] != 0)
        stream.Fail("embedded object record with child objects", at);
}

} // namespace

void WritePictureRecord(TValueWriter& stream, const TPicture& picture)
{
    writeHeader(stream);
    if (!picture.Empty()) {
        stream.WriteShortRaw(kDataProperty);
        std::string payload;
        payload.reserve(1 + picture.ImageClass().size() + picture.Data().size());
        payload.push_back(static_cast<char>(picture.ImageClass().size()));
        payload.append(picture.ImageClass());
        payload.append(picture.Data());
        stream.WriteBinary(payload);
    }
    writeFooter(stream);
}

void WriteStringsRecord(TValueWriter& stream, const TStringList& strings)
{
    writeHeader(stream);
    if (!strings.Empty()) {
        stream.WriteShortRaw(kStringsProperty);
        stream.WriteListBegin();
        const std::string& text = strings.Text();
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find("\r\n", start);
            stream.WriteString(std::string_view(text).substr(start, end - start));
            start = end + 2;
        }
        stream.WriteListEnd();
    }
    writeFooter(stream);
}

void ReadPictureRecord(TValueReader& stream, TPicture& picture)
{
    readRecord(stream, [&](const std::string& name) {
        if (name != kDataProperty)
            return false;
        std::string payload = stream.ReadBinary();
        size_t classLen = payload.empty() ? 0 : static_cast<uint8_t>(payload[0]);
        if (payload.empty() || 1 + classLen > payload.size()) {
            picture.Clear();
            return true;
        }
        std::string imageClass = payload.substr(1, classLen);
        if (TPicture::IsKnownImageClass(imageClass))
            picture.SetImage(std::move(imageClass), payload.substr(1 + classLen));
        else
            picture.Clear();
        return true;
    });
}

void ReadStringsRecord(TValueReader& stream, TStringList& strings)
{
    readRecord(stream, [&](const std::string& name) {
        if (name != kStringsProperty)
            return false;
        stream.ReadListBegin();
        std::string text;
        while (!stream.EndOfList()) {
            text.append(stream.ReadString());
            text.append("\r\n");
        }
        stream.ReadListEnd();
        strings.SetText(std::move(text));
        return true;
    });
}

} // namespace pavilo
