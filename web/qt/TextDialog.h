#pragma once
// TTextDialog: the plain text dialog of the wizards. It has no behaviour of
// its own; the caller reads SourceMemo after an OK.

#include <QDialog>

class QPlainTextEdit;

namespace pavilo {

class TTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit TTextDialog(QWidget* parent = nullptr);
    QPlainTextEdit* SourceMemo() const { return m_sourceMemo; }

private:
    QPlainTextEdit* m_sourceMemo;
};

} // namespace pavilo
