#include "core/untStylePreview.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

TfrmStylePreview::TfrmStylePreview(QWidget *owner) : TfrmBase(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(420, 300);
    auto *root = new QVBoxLayout(this);
    FHolder = new QWidget(this);
    FHolder->setObjectName("pnlPreview");
    new QVBoxLayout(FHolder);
    root->addWidget(FHolder, 1);
    auto *bar = new QHBoxLayout;
    auto *btnClose = new QPushButton(this);
    btnClose->setObjectName("btnClose");
    connect(btnClose, &QPushButton::clicked, actClose, &QAction::trigger);
    connect(actClose, &QAction::changed, btnClose, [this, btnClose] { btnClose->setText(actClose->text()); });
    bar->addStretch(1);
    bar->addWidget(btnClose);
    root->addLayout(bar);
    InitLanguage();
    btnClose->setText(actClose->text());
}

TfrmStylePreview::~TfrmStylePreview()
{
    delete FPreview;
    delete FStyle;
}

void TfrmStylePreview::showEvent(QShowEvent *e)
{
    TfrmBase::showEvent(e);
    if (FPreview || FStyleName.isEmpty())
        return;
    FStyle = QStyleFactory::create(FStyleName);
    if (!FStyle)
        return;
    FPreview = new QGroupBox(FStyleName, FHolder);
    auto *l = new QVBoxLayout(FPreview);
    l->addWidget(new QLabel(FStyleName, FPreview));
    l->addWidget(new QLineEdit(FPreview));
    l->addWidget(new QCheckBox(FStyleName, FPreview));
    l->addWidget(new QPushButton(FStyleName, FPreview));
    FPreview->setStyle(FStyle);
    for (QWidget *w : FPreview->findChildren<QWidget *>())
        w->setStyle(FStyle);
    FHolder->layout()->addWidget(FPreview);
}

void TfrmStylePreview::actCloseExecute()
{
    done(mrCancel);
}
