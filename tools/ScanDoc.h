#pragma once
// Document scanning: finds the files that pages, elements and style sheets
// refer to and records each reference as a TLinkInfo in the node's Links,
// with the exact 1-based position and length of the reference in the text it
// came from, so that the package installer can rewrite it in place.
//
// Positions are byte indexes into the text scanned: a page's or element's
// Source text (its lines each followed by CR LF), or a style sheet file.
// They are valid only for that text; any later edit of the page invalidates
// them until the next ScanNodeLinks.
//
// Nothing here throws for bad input: scanner errors and an unclosed "url("
// only make a scan's result non-zero. The scanner never owns a link
// collection; Links() points at the collection of the last scan (or the one
// set by the linked-files dialog) and must not outlive it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/LinkInfo.h"
#include "tools/TagCollection.h"

namespace pavilo {

class TNode;
class TDocumentScanner;

// Called each time a scan adds a link, with the link just added; the link
// may be changed, not kept (the collection may move its items).
using TAddLinkEvent = std::function<void(TDocumentScanner& Sender, TLinkInfo& LinkInfo)>;

// Origins stored in TLinkInfo::SourceOrigin; a style sheet's references
// carry the full path of the sheet instead.
inline constexpr std::string_view soPageSource = "TPageNode.Source";
inline constexpr std::string_view soElementSource = "TElementNode.Source";
inline constexpr std::string_view soPageStyleSheet = "TPageNode.CSSFileName";
inline constexpr std::string_view soUrl = "TURLNode.URL";

// The result of ScanStyleSheet for a "url(" without ")".
inline constexpr int scUnclosedUrl = 1001;

// Shown once when any scan of the linked-files command failed.
inline constexpr std::string_view LinkScanWarning =
    "There may be error(s) with one or more of the modules. Some links may not have been detected correctly.";

class TDocumentScanner {
public:
    TDocumentScanner();
    TDocumentScanner(const TDocumentScanner&) = delete;
    TDocumentScanner& operator=(const TDocumentScanner&) = delete;

    // Unassigned by default.
    TAddLinkEvent OnAddLink;

    // The collection the last scan added to, or the one the linked-files
    // dialog shows. Not owned.
    TLinkCollection* Links() const { return m_links; }
    void SetLinks(TLinkCollection* links) { m_links = links; }

    const TTagCollection& Tags() const { return m_tags; }

    // Adds a link per reference of an HTML text (tags of the table, "param"
    // values, "url(" in style elements). Positions are offset + the 1-based
    // index in text. Returns 0, or the code of the last problem met: a tag
    // scanner error 1 to 6, or 1001 from a style element.
    int ScanHTML(std::string_view text, std::string_view origin, TLinkCollection& links, int32_t offset);
    // Adds a link per "url(" reference, the text up to the next ")" as it is
    // (quotes and spaces included), at offset + its 1-based index. Returns 0,
    // or 1001 when a "url(" has no ")" (the scan stops there).
    int ScanStyleSheet(std::string_view text, std::string_view origin, TLinkCollection& links, int32_t offset);
    // Script code is not scanned: returns 0 and adds nothing.
    int ScanScript(std::string_view text, std::string_view origin, TLinkCollection& links, int32_t offset);

    // Rebuilds the node's Links: its page or element source, a page's style
    // sheet file name, a URL node's address; then resolves every link and
    // follows every existing ".css" file it names (and the sheets those name).
    // Adds 1 to failures for every scan of the node that returned non-zero.
    // A sheet that names itself again through its own chain is not followed
    // a second time.
    void ScanNodeLinks(TNode* node, int& failures);
    // Copies the node's local-file links (present or missing) into target,
    // skipping those whose PathName is already there ignoring ASCII case.
    void CollectNodeLinks(TNode* node, TLinkCollection& target);

    // ScanNodeLinks over the subtree (children first, the node last);
    // returns the failure count.
    int ScanTreeLinks(TNode* top);
    // CollectNodeLinks over the subtree in the same order.
    void CollectTreeLinks(TNode* top, TLinkCollection& target);

    // Adds a link the way every scan does (PathName empty) and fires OnAddLink.
    TLinkInfo& AddLink(TLinkCollection& links, std::string_view link, int32_t position,
                       std::string_view origin, int32_t offset, std::string_view pathName = {});

private:
    class THtmlScan;

    TTagCollection m_tags;
    TLinkCollection* m_links = nullptr;
};

// The scanner of this run, created on first use; the linked-files dialog and
// the package installer share it.
TDocumentScanner& DocumentScanner();

} // namespace pavilo
