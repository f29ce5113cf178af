#pragma once
// The references found in a node's page: TLinkInfo items in a TLinkCollection.
//
// A node owns its collection (TNode::Links); the collection owns its items.
// Nothing here fails: a link that cannot be resolved is judged by LinkStatus.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavilo {

// The values of LinkStatus.
enum TLinkStatus : int32_t {
    lsFileExists = 0,  // a local file path, and the file exists
    lsFileMissing = 1, // a local file path, and the file does not exist
    lsNotLocal = 2,    // an address with a scheme, or not an absolute local path
};

// The status of a resolved path or URL. Drive paths ("C:\...") and network
// paths ("\\server\...") from documents of the original platform are local
// paths that cannot exist here, so they are always lsFileMissing; a path
// beginning with "/" is tested on disk (a folder is not a file).
int32_t LinkStatusOf(std::string_view pathName);

class TLinkInfo {
public:
    std::string Link;          // the reference exactly as written
    int32_t LinkPosition = 0;  // 1-based position of Link in the scanned text
    int32_t LinkLength = 0;
    std::string PathName;      // resolved absolute path or URL
    std::string NewLink;
    std::string SourceOrigin;  // where the reference was found
    int32_t SourceOffset = 0;

    // Computed from PathName on every call (the file may come and go).
    int32_t LinkStatus() const { return LinkStatusOf(PathName); }

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
