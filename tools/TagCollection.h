#pragma once
// The tags whose attributes can hold a reference to another file, as used by
// the document scanner. The scanner builds its table once and keeps it for
// the whole run.

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pavilo {

class TTagInfo {
public:
    TTagInfo(std::string_view tagName, std::initializer_list<std::string_view> attributes);

    const std::string& TagName() const { return m_tagName; }
    // The attribute names, in the order given; owned by the item.
    const std::vector<std::string>& Attributes() const { return m_attributes; }
    // Whether name is one of the attributes, ignoring ASCII case.
    bool HasAttribute(std::string_view name) const;

private:
    std::string m_tagName;
    std::vector<std::string> m_attributes;
};

// Owns its items; references returned stay valid while the collection lives.
class TTagCollection {
public:
    TTagInfo& AddTag(std::string_view name, std::initializer_list<std::string_view> attributes);
    // The first item whose TagName equals name ignoring ASCII case, or null.
    const TTagInfo* FindTag(std::string_view name) const;
    int Count() const { return static_cast<int>(m_items.size()); }
    const TTagInfo& Items(int i) const { return *m_items.at(static_cast<size_t>(i)); }

private:
    std::vector<std::unique_ptr<TTagInfo>> m_items;
};

// Adds the table of linking tags (a: href, applet: code codebase, ... tr:
// background) in its fixed order.
void AddLinkTags(TTagCollection& tags);

// The "name" values that make a "param" tag's "value" a reference.
bool IsLinkParamName(std::string_view name);

} // namespace pavilo
