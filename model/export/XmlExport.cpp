#include "model/export/XmlExport.h"

#include <array>
#include <cassert>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <pugixml.hpp>
#include <time.h>
#include <utility>

#include "model/ContentNodes.h"
#include "model/DocumentNodes.h"
#include "model/Exception.h"
#include "platform/text/TextCodec.h"

namespace pavilo {

namespace {

struct NamedColor {
    TColor value;
    const char* name;
};

constexpr std::array<NamedColor, 42> kNamedColors = {{
    {0x000000, "Black"},
    {0x000080, "Maroon"},
    {0x008000, "Green"},
    {0x008080, "Olive"},
    {0x800000, "Navy"},
    {0x800080, "Purple"},
    {0x808000, "Teal"},
    {0x808080, "Gray"},
    {0xC0C0C0, "Silver"},
    {0x0000FF, "Red"},
    {0x00FF00, "Lime"},
    {0x00FFFF, "Yellow"},
    {0xFF0000, "Blue"},
    {0xFF00FF, "Fuchsia"},
    {0xFFFF00, "Aqua"},
    {0xFFFFFF, "White"},
    {0x80000000, "ScrollBar"},
    {0x80000001, "Background"},
    {0x80000002, "ActiveCaption"},
    {0x80000003, "InactiveCaption"},
    {0x80000004, "Menu"},
    {0x80000005, "Window"},
    {0x80000006, "WindowFrame"},
    {0x80000007, "MenuText"},
    {0x80000008, "WindowText"},
    {0x80000009, "CaptionText"},
    {0x8000000A, "ActiveBorder"},
    {0x8000000B, "InactiveBorder"},
    {0x8000000C, "AppWorkSpace"},
    {0x8000000D, "Highlight"},
    {0x8000000E, "HighlightText"},
    {0x8000000F, "BtnFace"},
    {0x80000010, "BtnShadow"},
    {0x80000011, "GrayText"},
    {0x80000012, "BtnText"},
    {0x80000013, "InactiveCaptionText"},
    {0x80000014, "BtnHighlight"},
    {0x80000015, "3DDkShadow"},
    {0x80000016, "3DLight"},
    {0x80000017, "InfoText"},
    {0x80000018, "InfoBk"},
    {0x1FFFFFFF, "None"},
}};

// Valid day counts: 0001-01-01 up to the end of 9999-12-31.
constexpr double kFirstDay = -693593.0;
constexpr double kEndDay = 2958466.0;
constexpr long long kMsPerDay = 86400000;

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// The user's time formats; the C locale when the environment names none
// that is installed.
class TTimeLocale {
public:
    TTimeLocale()
    {
        m_locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
        if (!m_locale)
            m_locale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    }
    ~TTimeLocale()
    {
        if (m_locale)
            freelocale(m_locale);
    }
    TTimeLocale(const TTimeLocale&) = delete;
    TTimeLocale& operator=(const TTimeLocale&) = delete;

    std::string Format(const char* format, const tm& t) const
    {
        char buf[256];
        size_t n = m_locale ? strftime_l(buf, sizeof buf, format, &t, m_locale) : strftime(buf, sizeof buf, format, &t);
        return std::string(buf, n);
    }

private:
    locale_t m_locale;
};

std::string dayCountText(double value)
{
    pugi::xml_document doc;
    pugi::xml_attribute a = doc.append_child("d").append_attribute("v");
    a.set_value(value);
    return a.value();
}

std::string dateTimeText(TDateTime value, const TTimeLocale& locale)
{
    if (!(value >= kFirstDay && value < kEndDay))
        return dayCountText(value);
    // The date is the whole part toward zero; the time is the fraction's size.
    double whole = 0;
    double fraction = std::modf(value, &whole);
    long long days = static_cast<long long>(whole);
    long long ms = std::llround(std::fabs(fraction) * static_cast<double>(kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++days;
    }
    tm t{};
    int year = 0, month = 0, day = 0;
    civilFromDays(days - 25569, year, month, day);
    if (year < 1 || year > 9999)
        return dayCountText(value);
    static constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_yday = kDaysBefore[month - 1] + day - 1 + (month > 2 && isLeap(year) ? 1 : 0);
    t.tm_wday = static_cast<int>((((days - 25569) % 7) + 7 + 4) % 7); // 1970-01-01 was a Thursday
    long long secs = ms / 1000;
    t.tm_hour = static_cast<int>(secs / 3600);
    t.tm_min = static_cast<int>(secs / 60 % 60);
    t.tm_sec = static_cast<int>(secs % 60);
    std::string text = locale.Format("%x", t);
    if (secs != 0)
        text += ' ' + locale.Format("%X", t);
    return text;
}

// UTF-8 that XML 1.0 can carry: stored text not valid UTF-8 is read as
// Windows-1252, and characters XML forbids (C0 controls other than tab, line
// feed and carriage return, U+FFFE, U+FFFF) become U+FFFD.
std::string xmlText(std::string_view stored)
{
    std::string utf8 = text::ToUtf8(stored);
    std::string out;
    out.reserve(utf8.size());
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += kReplacement;
        } else if (c == 0xEF && i + 2 < utf8.size() && utf8[i + 1] == '\xBF' &&
                   (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
            out += kReplacement;
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

class TElementBuilder {
public:
    explicit TElementBuilder(const TTimeLocale& locale) : m_locale(locale) {}

    void Build(pugi::xml_node parent, const TNode* node)
    {
        pugi::xml_node e = parent.append_child(std::string(node->ClassName()).c_str());
        if (!e)
            throw Exception("Cannot create the XML element for " + std::string(node->ClassName()));
        setAttributes(e, node);
        for (const TNode* child : node->Children())
            Build(e, child);
    }

private:
    void text(pugi::xml_node e, const char* name, std::string_view stored)
    {
        std::string value = xmlText(stored);
        e.append_attribute(name).set_value(value.c_str(), value.size());
    }
    void boolean(pugi::xml_node e, const char* name, bool value) { e.append_attribute(name).set_value(value); }
    void integer(pugi::xml_node e, const char* name, long long value) { e.append_attribute(name).set_value(value); }
    void color(pugi::xml_node e, const char* name, TColor value) { text(e, name, ColorText(value)); }
    void dateTime(pugi::xml_node e, const char* name, TDateTime value)
    {
        text(e, name, dateTimeText(value, m_locale));
    }
    template <class W>
    void wizard(pugi::xml_node e, const W* w)
    {
        text(e, "DLLFileName", w->DLLFileName());
        text(e, "FuncName", w->FuncName());
        text(e, "InParams", w->InParams());
    }

    void setAttributes(pugi::xml_node e, const TNode* node)
    {
        text(e, "ID", NodeIdText(node->ID()));
        boolean(e, "AllowChange", node->AllowChange());
        text(e, "Author", node->Author());
        dateTime(e, "CreationTime", node->CreationTime());
        dateTime(e, "ModificationTime", node->ModificationTime());

        if (const auto* pv = dynamic_cast<const TPVNode*>(node)) {
            text(e, "Title", pv->Title());
            integer(e, "Width", pv->Width());
            integer(e, "Height", pv->Height());
            text(e, "IconFilename", pv->IconFilename());
            boolean(e, "HasMenu", pv->HasMenu());
            boolean(e, "Scrollbars", pv->Scrollbars());
            color(e, "PanelColor", pv->PanelColor());
            boolean(e, "HideBrowser", pv->HideBrowser());
            text(e, "OutlineText", pv->OutlineText().Text());
        }
        if (const auto* file = dynamic_cast<const TFileNode*>(node)) {
            text(e, "Version", "PV08");
            text(e, "FileName", file->FileName());
            text(e, "Title", file->Title());
        }
        if (const auto* root = dynamic_cast<const TRootNode*>(node)) {
            color(e, "BgColor", root->BgColor());
            color(e, "FontColor", root->FontColor());
            color(e, "SelectionColor", root->SelectionColor());
            text(e, "Title", root->Title());
            text(e, "CustomerName", root->CustomerName());
            e.append_attribute("Date").set_value(root->Date());
            text(e, "Participants", root->Participants());
            text(e, "Notes", text::FromUtf16(root->Notes()));
            integer(e, "DefaultView", root->DefaultView());
        }
        if (const auto* tool = dynamic_cast<const TToolNode2*>(node))
            text(e, "FileName", tool->FileName());
        if (const auto* page = dynamic_cast<const TPageNode*>(node)) {
            text(e, "CSSFileName", page->CSSFileName());
            text(e, "BaseUrl", page->BaseUrl());
            text(e, "Htmlfile", NodeIdText(page->ID()) + ".htm");
        }
        if (const auto* url = dynamic_cast<const TURLNode*>(node))
            text(e, "Url", url->Url());
        if (const auto* app = dynamic_cast<const TApplicationNode*>(node)) {
            text(e, "FileName", app->FileName());
            boolean(e, "CloseApplication", app->CloseApplication());
        }
        if (const auto* w = dynamic_cast<const TWizardNode*>(node))
            wizard(e, w);
        if (const auto* w = dynamic_cast<const TPageWizardNode*>(node))
            wizard(e, w);
        if (const auto* w = dynamic_cast<const TElementWizardNode*>(node))
            wizard(e, w);
    }

    const TTimeLocale& m_locale;
};

// Writes through stdio so that a failing write or close is seen.
class TFileWriter : public pugi::xml_writer {
public:
    explicit TFileWriter(std::FILE* file) : m_file(file) {}
    void write(const void* data, size_t size) override
    {
        if (m_error == 0 && std::fwrite(data, 1, size, m_file) != size)
            m_error = errno ? errno : EIO;
    }
    int Error() const { return m_error; }

private:
    std::FILE* m_file;
    int m_error = 0;
};

} // namespace

std::string NodeIdText(int32_t id)
{
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<uint32_t>(id));
    return buf;
}

std::string ColorText(TColor color)
{
    for (const NamedColor& c : kNamedColors)
        if (c.value == color)
            return c.name;
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return buf;
}

std::string DateTimeText(TDateTime value)
{
    TTimeLocale locale;
    return dateTimeText(value, locale);
}

void ExportXml(const std::string& fileName, const TNode* node)
{
    assert(node);
    if (!node)
        throw Exception("There is no node to export.");
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    TTimeLocale locale;
    TElementBuilder(locale).Build(doc, node);

    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file)
        throw Exception("Cannot create the file \"" + fileName + "\": " + std::strerror(errno));
    TFileWriter writer(file);
    doc.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    int error = writer.Error();
    if (std::fflush(file) != 0 && error == 0)
        error = errno ? errno : EIO;
    if (std::fclose(file) != 0 && error == 0)
        error = errno ? errno : EIO;
    if (error != 0)
        throw Exception("Cannot write the file \"" + fileName + "\": " + std::strerror(error));
}

} // namespace pavilo
