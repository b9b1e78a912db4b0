#include "core/ProgramInfoUnit.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

TProgramInfoForm::TProgramInfoForm(QWidget *owner) : TfrmBase(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(292, 219);
    auto *root = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setObjectName("imgIcon");
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    top->addWidget(icon, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    lblProgram = new QLabel(this);
    lblProgram->setObjectName("lblProgram");
    QFont f = lblProgram->font();
    f.setBold(true);
    lblProgram->setFont(f);
    lblVersion = new QLabel(QStringLiteral("Version 1.0"), this);
    lblVersion->setObjectName("lblVersion");
    texts->addWidget(lblProgram);
    texts->addWidget(lblVersion);
    for (const char *name : {"lblNotice", "lblIconCredit", "lblContact"}) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::RichText);
        l->setOpenExternalLinks(false);
        l->setWordWrap(true);
        connect(l, &QLabel::linkActivated, this, [](const QString &link) { QDesktopServices::openUrl(QUrl(link)); });
        LinkLabels << l;
        texts->addWidget(l);
    }
    top->addLayout(texts, 1);
    root->addLayout(top, 1);
    auto *bar = new QHBoxLayout;
    auto *btnClose = new QPushButton(this);
    btnClose->setObjectName("btnClose");
    connect(btnClose, &QPushButton::clicked, this, [this] { actCloseExecute(); });
    bar->addStretch(1);
    bar->addWidget(btnClose);
    root->addLayout(bar);
    InitLanguage();
}

void TProgramInfoForm::actCloseExecute()
{
    done(mrOK);
}
