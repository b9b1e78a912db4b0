#include "transfer/AllExecutorPanelUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "core/untDM.h"

namespace {

QString DMText(QString TDM::*field, const char *fallback)
{
    return DM ? DM->*field : QString::fromUtf8(fallback);
}

// Halves rounded to the nearest integer, a half to the even neighbour.
int HalfRounded(int v)
{
    const int half = v / 2;
    return v % 2 != 0 && half % 2 != 0 ? half + 1 : half;
}

// The all-run panel: rounded halves of the owner and the panel.
void CentreIn(QWidget *w)
{
    if (QWidget *owner = w->parentWidget())
        w->move(HalfRounded(owner->width()) - HalfRounded(w->width()),
                HalfRounded(owner->height()) - HalfRounded(w->height()));
}

// The progress panel: truncated halves.
void CentreTruncated(QWidget *w)
{
    if (QWidget *owner = w->parentWidget())
        w->move(owner->width() / 2 - w->width() / 2, owner->height() / 2 - w->height() / 2);
}

} // namespace

// ---------------------------------------------------------------------------

TItemPanel::TItemPanel(QWidget *AOwner, int AHeight, const QString &ACaption, bool AShowProgressBar)
    : QFrame(AOwner)
{
    setFrameShape(QFrame::StyledPanel);
    setFixedHeight(AHeight);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto *desc = new QWidget(this);
    auto *descLayout = new QVBoxLayout(desc);
    descLayout->setContentsMargins(10, 0, 0, 0);
    FCaption = new QLabel(ACaption, desc);
    descLayout->addWidget(FCaption);
    if (AShowProgressBar) {
        FCaption->setFixedHeight(13);
        FProgressBar = new QProgressBar(desc);
        FProgressBar->setRange(0, 0); // marquee while the request runs
        FProgressBar->setTextVisible(false);
        descLayout->setContentsMargins(10, 0, 5, 5);
        descLayout->addWidget(FProgressBar);
    }
    row->addWidget(desc, 1);
    FImage = new QLabel(this);
    FImage->setFixedWidth(24);
    FImage->setAlignment(Qt::AlignCenter);
    row->addWidget(FImage);
    SetResultImageIndex(1);
}

void TItemPanel::SetResultImageIndex(int Value)
{
    FResultImageIndex = Value;
    QStyle::StandardPixmap icon = QStyle::SP_BrowserReload;
    if (Value == 2)
        icon = QStyle::SP_DialogApplyButton;
    else if (Value == 3)
        icon = QStyle::SP_MessageBoxCritical;
    FImage->setPixmap(style()->standardIcon(icon).pixmap(16, 16));
    if (FProgressBar && Value != 1) {
        FProgressBar->setRange(0, 100);
        FProgressBar->setValue(100);
    }
}

// ---------------------------------------------------------------------------

TAllExecutorPanel::TAllExecutorPanel(QWidget *AOwner, const QString &ATitle, int AWidth, int AHeight, bool &IsDoing)
    : QFrame(AOwner)
{
    setProperty("Tag", 1000);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    resize(AWidth, AHeight);
    CentreIn(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    FPnlTitle = new QLabel(this);
    FPnlTitle->setFixedHeight(25);
    FPnlTitle->setStyleSheet(QStringLiteral("background: white; border-bottom: 1px solid gray;"));
    FPnlTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(FPnlTitle);
    SetTitle(ATitle);
    FScrollBox = new QScrollArea(this);
    FScrollBox->setFrameShape(QFrame::NoFrame);
    FScrollBox->setWidgetResizable(true);
    FContainer = new QWidget;
    FContainerLayout = new QVBoxLayout(FContainer);
    FContainerLayout->setContentsMargins(0, 0, 0, 0);
    FContainerLayout->setSpacing(0);
    FContainerLayout->addStretch(1);
    FScrollBox->setWidget(FContainer);
    layout->addWidget(FScrollBox, 1);
    auto *bottom = new QFrame(this);
    bottom->setFixedHeight(35);
    bottom->setStyleSheet(QStringLiteral("QFrame { border-top: 1px solid gray; }"));
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 5, 5, 5);
    FBottomText = new QLabel(bottom);
    FBottomText->setStyleSheet(QStringLiteral("border: none;"));
    bottomLayout->addWidget(FBottomText, 1);
    FBtnCancel = new QPushButton(DMText(&TDM::T_CancelCaption, "취소"), bottom);
    FBtnCancel->setObjectName(QStringLiteral("FBtnCancel"));
    FBtnCancel->setFixedWidth(50);
    bottomLayout->addWidget(FBtnCancel);
    layout->addWidget(bottom);
    connect(FBtnCancel, &QPushButton::clicked, this, &TAllExecutorPanel::BtnCancelClick);
    FFailCount = 0;
    IsDoing = true;
}

void TAllExecutorPanel::AddContainer(const QString &ACaption)
{
    const bool transfer = FActionType == 1 || FActionType == 2;
    auto *item = new TItemPanel(FContainer, transfer ? 50 : 25, ACaption, transfer);
    FContainerLayout->insertWidget(FContainerLayout->count() - 1, item);
    FStack << item;
    FContainer->adjustSize();
    FScrollBox->verticalScrollBar()->setMaximum(qMax(FScrollBox->verticalScrollBar()->maximum(),
                                                     item->height() * int(FStack.size() - 1)));
    FScrollBox->verticalScrollBar()->setValue(item->height() * int(FStack.size() - 1));
}

void TAllExecutorPanel::ClearItem()
{
    qDeleteAll(FStack);
    FStack.clear();
    FScrollBox->verticalScrollBar()->setValue(0);
    FFailCount = 0;
    FBottomText->clear();
}

void TAllExecutorPanel::Realign() { CentreIn(this); }

QString TAllExecutorPanel::Title() const { return FPnlTitle->text(); }

void TAllExecutorPanel::SetTitle(const QString &Value) { FPnlTitle->setText(QStringLiteral("  ") + Value); }

void TAllExecutorPanel::SetIsAvailableClose(bool Value)
{
    FAvailableClose = Value;
    FBtnCancel->setText(Value ? DMText(&TDM::T_CloseCaption, "닫기") : DMText(&TDM::T_CancelCaption, "취소"));
    if (Value && FFailCount == 0) {
        if (FActionType == 1 || FActionType == 2)
            FBottomText->setText(DMText(&TDM::T_SendDoneMsg, "  전송완료"));
        else
            FBottomText->setText(QString(DMText(&TDM::T_ProcessDoneMsg, "  %s완료"))
                                     .replace(QStringLiteral("%s"), PanelCaption.mid(3)));
    }
}

void TAllExecutorPanel::SetFailCount(int Value)
{
    FFailCount = Value;
    const QString format = FActionType >= 1 && FActionType <= 3 ? DMText(&TDM::T_FailCountMsg, "  실패건수 : %d건")
                                                                : DMText(&TDM::T_ValidationCountMsg, "  불일치건수 : %d건");
    FBottomText->setText(QString(format).replace(QStringLiteral("%d"), QString::number(Value)));
}

QString TAllExecutorPanel::BottomText() const { return FBottomText->text(); }

QString TAllExecutorPanel::ButtonCaption() const { return FBtnCancel->text(); }

void TAllExecutorPanel::BtnCancelClick()
{
    if (!FAvailableClose)
        emit cancelRequested();
    emit closeRequested();
}

// ---------------------------------------------------------------------------

TAllExecutorProgress::TAllExecutorProgress(QWidget *AOwner, const QString &ATitle, int AWidth, int ATotalParts,
                                           bool &IsDoing)
    : QFrame(AOwner)
{
    setProperty("Tag", 1000);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    resize(AWidth, 60);
    CentreTruncated(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FPnlTitle = new QLabel(this);
    FPnlTitle->setFixedHeight(25);
    FPnlTitle->setStyleSheet(QStringLiteral("background: white; border-bottom: 1px solid gray;"));
    layout->addWidget(FPnlTitle);
    SetTitle(ATitle);
    FPnlContainer = new QWidget(this);
    auto *row = new QHBoxLayout(FPnlContainer);
    row->setContentsMargins(0, 0, 0, 0);
    FProgressBar = new QProgressBar(FPnlContainer);
    FProgressBar->setRange(0, ATotalParts);
    FProgressBar->setValue(0);
    FProgressBar->setFormat(QStringLiteral("%v / %m"));
    row->addWidget(FProgressBar, 1);
    FBtnCancel = new QPushButton(DMText(&TDM::T_CancelCaption, "취소"), FPnlContainer);
    FBtnCancel->setFixedWidth(50);
    row->addWidget(FBtnCancel);
    layout->addWidget(FPnlContainer, 1);
    connect(FBtnCancel, &QPushButton::clicked, this, &TAllExecutorProgress::closeRequested);
    IsDoing = true;
}

void TAllExecutorProgress::Init(const QString &ATitle, int ATotalParts)
{
    SetTitle(ATitle);
    FProgressBar->setRange(0, ATotalParts);
    FProgressBar->setValue(0);
    show();
}

void TAllExecutorProgress::IncPartsByOne()
{
    FProgressBar->setValue(FProgressBar->value() + 1);
    FProgressBar->repaint();
}

void TAllExecutorProgress::Realign() { CentreTruncated(this); }

QString TAllExecutorProgress::Title() const { return FPnlTitle->text(); }

void TAllExecutorProgress::SetTitle(const QString &Value) { FPnlTitle->setText(QStringLiteral("  ") + Value); }

void TAllExecutorProgress::SetIsAvailableClose(bool Value)
{
    FAvailableClose = Value;
    FBtnCancel->setText(Value ? DMText(&TDM::T_CloseCaption, "닫기") : DMText(&TDM::T_CancelCaption, "취소"));
}
