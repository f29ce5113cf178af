#pragma once
// Composition of a node's page for the browser.
//
// The page text is the node's Source with three insertions right after the
// first "<html>" (any letter case): the base element, the style sheet link
// when the page has one, and a script block that tells the page where its
// document and the program live. The browser never reads a page node from
// a file; it asks the URL protocol, which serves the page buffer.

#include <string>

namespace pavilo {

class TNode;

// What an empty composition shows: no node at all.
inline constexpr const char* kBlackPage = "<HTML> <BODY BGCOLOR=\"BLACK\" SCROLL=NO>  </BODY> </HTML>";

// Fills the page buffer for the node and makes it the current page, with
// PageBase(node) as the current base. No node gives the black page (one
// line); a node that is not a page (URL node, element, root, file node)
// leaves the buffer empty. Never fails.
// The black page is written as it is, without a line break.
void ComposePage(TNode* node);

// The bytes ComposePage writes for the node with that base directory.
std::string ComposedPage(const TNode* node, const std::string& base);

// The directory of the node's document file with its trailing separator;
// empty for an unsaved document or a node outside a document.
std::string DocumentDirectory(const TNode* node);

} // namespace pavilo
