#pragma once
// TCustomShowHTMLDialog: the wizard page dialog. It shows a wizard's HTML
// page for a node, with the node itself as the page's window.external, and
// answers OK when the page left HTML in the node's Source.

#include <QDialog>

#include "model/NodeLink.h"

namespace pavilo {

class TCustomWebBrowser;
class TNode;

class TCustomShowHTMLDialog : public QDialog {
    Q_OBJECT
public:
    // The node is followed through a link, never owned; it may go while
    // the dialog is open.
    TCustomShowHTMLDialog(TNode* node, const QString& url, QWidget* parent = nullptr);

    // Shows the dialog modally; QDialog::Accepted ("OK") or Rejected
    // ("Cancel"). The dialog frees itself when it closes.
    static int Execute(TNode* node, const QString& url, QWidget* parent = nullptr);

    TCustomWebBrowser* WebBrowser() const { return m_webBrowser; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeOnScreen();

    TNodeLink m_node;
    QString m_url;
    TCustomWebBrowser* m_webBrowser;
    bool m_placed = false;
};

} // namespace pavilo
