#pragma once
// The references found in a node's page: TLinkInfo items in a TLinkCollection.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pavilo {

class TLinkInfo {
public:
    std::string Link;          // the reference exactly as written
    int32_t LinkPosition = 0;  // 1-based position of Link in the scanned text
    int32_t LinkLength = 0;
    std::string PathName;      // resolved absolute path or URL
    std::string NewLink;
    std::string SourceOrigin;  // where the reference was found
    int32_t SourceOffset = 0;

    // Copies the seven stored properties.
    void Assign(const TLinkInfo& other) { *this = other; }
};

class TLinkCollection {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    TLinkInfo& Items(int i) { return m_items.at(static_cast<size_t>(i)); }
    const TLinkInfo& Items(int i) const { return m_items.at(static_cast<size_t>(i)); }
    TLinkInfo& Add() { return m_items.emplace_back(); }
    void Clear() { m_items.clear(); }
    void Assign(const TLinkCollection& other) { m_items = other.m_items; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<TLinkInfo> m_items;
};

} // namespace pavilo
