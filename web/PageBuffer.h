#pragma once
// The process-wide state of the document URL protocol: the page buffer, the
// node composed last and its base directory.
//
// Touched only on the user-interface thread. The preview, the show player,
// printing and page scripts share it, so a view composes right before it
// navigates to the root URL. CurrentPageNode is not owned: it follows the
// node through a link and becomes none when the node is destroyed or its
// subtree is removed from the tree.

#include <cstddef>
#include <string>

namespace pavilo {

class TNode;

struct TPageBuffer {
    std::string Bytes; // the text of the page composed last
    size_t Position = 0;
};

// Start-up, before any view exists: a fresh buffer, no current page, empty base.
void StartDocumentProtocol();
// Exit: frees the buffer and forgets the current page.
void StopDocumentProtocol();
bool DocumentProtocolStarted();

// None before start-up and after exit.
TPageBuffer* PageBuffer();
TNode* CurrentPageNode();
const std::string& CurrentBase();

// Records a composition: the node (or none) and its base; starts the
// protocol state when it was not started. Used by ComposePage.
TPageBuffer& BeginComposition(TNode* node, std::string base);

} // namespace pavilo
