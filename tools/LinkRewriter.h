#pragma once
// The rewrite visitor of package installation: points the references of a
// freshly scanned document at the files extracted into the install folder.
//
// The n-th line of the package's Links section belongs to the n-th link the
// scan produced, in ForEachNode order (children first) and, within a node, in
// the order of its Links. A line "key=flag?old?new" with flag 0 whose old
// text equals the link's Link replaces that reference by the install folder
// followed by new. A replacement happens only where the link's text is still
// found at its recorded position (Source texts) or is the whole value
// (CSSFileName, Url); overlapping or stale positions are left alone, so a
// package can never corrupt a page. Lines that cannot be read (no two "?",
// a flag that is not a number) leave their link unchanged and are counted.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Exception.h"

namespace pavilo {

class TNode;

struct TLinkLine {
    int32_t Flag = 0;
    std::string Old;
    std::string New;
};

// Splits one line of the Links section; nothing when it has no "=", fewer
// than two "?" after it, or a flag that is not an integer.
std::optional<TLinkLine> ParseLinkLine(std::string_view line);

// A flag-0 line that matches its link but whose new name would leave the
// install folder.
class EUnsafeLink : public Exception {
public:
    using Exception::Exception;
};

class TLinkRewriter {
public:
    // folder: the install folder with its trailing "/". lines must outlive the visitor.
    TLinkRewriter(const std::vector<std::string>& lines, std::string folder);

    // The visitor for one node, to be run with ForEachNode over the tree.
    // Raises EUnsafeLink before the node is changed.
    void Visit(TNode* node);
    void Run(TNode* top);

    int Rewritten() const { return m_rewritten; }
    int Unreadable() const { return m_unreadable; }   // lines that could not be read
    int Mismatched() const { return m_mismatched; }   // matching lines whose text was not at its place

private:
    const std::vector<std::string>& m_lines;
    std::string m_folder;
    size_t m_base = 0;
    int m_rewritten = 0;
    int m_unreadable = 0;
    int m_mismatched = 0;
};

} // namespace pavilo
