#include "centrelink/CommLogWindow.h"

#include "centrelink/CommLogFormat.h"
#include "core/siLang.h"
#include "core/untDM.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TCommLogWindow::TCommLogWindow(QWidget *owner, const QString &langTable)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    FAdminMode = DM ? DM->G_ADMIN_MODE : false;
    resize(640, 480);

    mmLog = new QPlainTextEdit(this);
    mmLog->setObjectName(QStringLiteral("mmLog"));
    mmLog->setReadOnly(true);
    mmLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmLog->setUndoRedoEnabled(false);

    chxAlwayOnTop = new QCheckBox(this);
    chxAlwayOnTop->setObjectName(QStringLiteral("chxAlwayOnTop"));
    chxAlwayOnTop->setChecked(true);
    btnClear = new QPushButton(this);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    btnCopy = new QPushButton(this);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chxAlwayOnTop);
    buttons->addStretch(1);
    buttons->addWidget(btnClear);
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mmLog, 1);
    layout->addLayout(buttons);

    connect(btnClear, &QPushButton::clicked, this, &TCommLogWindow::btnClearClick);
    connect(btnCopy, &QPushButton::clicked, this, &TCommLogWindow::btnCopyClick);
    connect(btnClose, &QPushButton::clicked, this, &TCommLogWindow::btnCloseClick);
    connect(chxAlwayOnTop, &QCheckBox::clicked, this, &TCommLogWindow::chxAlwayOnTopClick);

    FLang = new TsiLangLinked(this, langTable);
    FLang->Retranslate();
}

QStringList TCommLogWindow::Lines() const { return CommLog::Lines(mmLog); }

int TCommLogWindow::LineCount() const { return CommLog::LineCount(mmLog); }

void TCommLogWindow::btnClearClick() { mmLog->clear(); }

void TCommLogWindow::btnCopyClick()
{
    mmLog->selectAll();
    if (QClipboard *clipboard = QApplication::clipboard())
        clipboard->setText(mmLog->toPlainText());
}

void TCommLogWindow::btnCloseClick() { close(); }

void TCommLogWindow::chxAlwayOnTopClick()
{
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, chxAlwayOnTop->isChecked());
    if (wasVisible)
        show();
}
