#include "web/qt/TextDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavilo {

TTextDialog::TTextDialog(QWidget* parent) : QDialog(parent), m_sourceMemo(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Text Dialog"));
    setModal(true);
    auto* label = new QLabel(QStringLiteral("Text:"), this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    m_sourceMemo->setObjectName(QStringLiteral("SourceMemo"));
    m_sourceMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_sourceMemo->setPlainText(QStringLiteral("Type your text here..."));
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_sourceMemo);
    layout->addLayout(buttons);
}

} // namespace pavilo
