#include "tools/TagCollection.h"
#include "model/AsciiCase.h"

namespace pavilo {

namespace {

} // namespace

TTagInfo::TTagInfo(std::string_view tagName, std::initializer_list<std::string_view> attributes)
    : m_tagName(tagName)
{
    m_attributes.reserve(attributes.size());
    for (std::string_view a : attributes)
        m_attributes.emplace_back(a);
}

bool TTagInfo::HasAttribute(std::string_view name) const
{
    for (const std::string& a : m_attributes)
        if (EqualsIgnoringCase(a, name))
            return true;
    return false;
}

TTagInfo& TTagCollection::AddTag(std::string_view name, std::initializer_list<std::string_view> attributes)
{
    return *m_items.emplace_back(std::make_unique<TTagInfo>(name, attributes));
}

const TTagInfo* TTagCollection::FindTag(std::string_view name) const
{
    for (const auto& item : m_items)
        if (EqualsIgnoringCase(item->TagName(), name))
            return item.get();
    return nullptr;
}

void AddLinkTags(TTagCollection& tags)
{
    tags.AddTag("a", {"href"});
    tags.AddTag("applet", {"code", "codebase"});
    tags.AddTag("area", {"href"});
    tags.AddTag("bgsound", {"src"});
    tags.AddTag("body", {"background"});
    tags.AddTag("embed", {"src", "pluginspage"});
    tags.AddTag("fig", {"src"});
    tags.AddTag("form", {"action"});
    tags.AddTag("frame", {"src"});
    tags.AddTag("iframe", {"src"});
    tags.AddTag("img", {"src", "dynsrc", "usemap", "vrml", "lowsrc", "href"});
    tags.AddTag("input", {"src"});
    tags.AddTag("insert", {"classid", "usemap", "data"});
    tags.AddTag("item", {"classid", "usemap", "data"});
    tags.AddTag("link", {"href"});
    tags.AddTag("map", {"name"});
    tags.AddTag("meta", {"url"});
    tags.AddTag("object", {"codebase", "presurl", "url", "filename", "file", "data"});
    tags.AddTag("overlay", {"src"});
    tags.AddTag("script", {"src"});
    tags.AddTag("td", {"background"});
    tags.AddTag("th", {"background"});
    tags.AddTag("tr", {"background"});
}

bool IsLinkParamName(std::string_view name)
{
    for (std::string_view n : {"movie", "src", "filename", "url", "presurl"})
        if (EqualsIgnoringCase(n, name))
            return true;
    return false;
}

} // namespace pavilo
