#include "core/SelectTableDlgForm.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/untDM.h"

TFormSelectTableDlg::TFormSelectTableDlg(QWidget *owner) : TfrmBase(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto *root = new QVBoxLayout(this);
    grpTables = new QGroupBox(this);
    grpTables->setObjectName("grpTables");
    auto *grid = new QGridLayout(grpTables);
    for (int k = 1; k <= 11; ++k) {
        img[k] = new QLabel(grpTables);
        img[k]->setObjectName(QStringLiteral("img%1").arg(k));
        img[k]->setProperty("Tag", k);
        img[k]->setFixedWidth(20);
        img[k]->installEventFilter(this);
        btn[k] = new QPushButton(grpTables);
        btn[k]->setObjectName(QStringLiteral("btn%1").arg(k));
        btn[k]->setProperty("Tag", k);
        btn[k]->setStyleSheet(QStringLiteral("text-align: left"));
        connect(btn[k], &QPushButton::clicked, this, [this, k] { Click(k); });
        grid->addWidget(img[k], k - 1, 0);
        grid->addWidget(btn[k], k - 1, 1);
    }
    root->addWidget(grpTables);
    auto *bar = new QHBoxLayout;
    btnOK = new QPushButton(this);
    btnOK->setObjectName("btnOK");
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName("btnCancel");
    bar->addStretch(1);
    bar->addWidget(btnOK);
    bar->addWidget(btnCancel);
    root->addLayout(bar);
    connect(btnOK, &QPushButton::clicked, this, &TFormSelectTableDlg::actOKExecute);
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    // Enter moves between the controls (key preview), so no button takes it.
    for (QPushButton *b : findChildren<QPushButton *>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    for (int k = 1; k <= 11; ++k)
        FSelection[k] = 2;
    ShowImages();
    InitLanguage();
}

void TFormSelectTableDlg::Toggle(TSelection &s, int k)
{
    if (k < 1 || k > 11)
        return;
    s[k] = s[k] == 1 ? 2 : 1;
    if (k == 1) {
        for (int i = 2; i <= 11; ++i)
            s[i] = s[1];
        return;
    }
    int sum = 0;
    for (int i = 2; i <= 11; ++i)
        sum += s[i];
    s[1] = sum == 10 ? 1 : 2;
}

bool TFormSelectTableDlg::AnyChosen(const TSelection &s)
{
    int sum = 0;
    for (int i = 2; i <= 11; ++i)
        sum += s[i];
    return sum != 20;
}

void TFormSelectTableDlg::Click(int k)
{
    Toggle(FSelection, k);
    ShowImages();
}

void TFormSelectTableDlg::ShowImages()
{
    for (int k = 1; k <= 11; ++k)
        img[k]->setText(FSelection[k] == 1 ? QStringLiteral("\u2611") : QStringLiteral("\u2610"));
}

QList<quint8> TFormSelectTableDlg::SelectedTable() const
{
    QList<quint8> list;
    for (int k = 1; k <= 11; ++k)
        list << FSelection[k];
    return list;
}

void TFormSelectTableDlg::actOKExecute()
{
    if (!AnyChosen(FSelection)) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_SelectTable")),
                   KIT_T(T_ValidationCaption), QString(), mkError);
        return;
    }
    done(mrOK);
}

bool TFormSelectTableDlg::eventFilter(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonRelease) {
        const int k = obj->property("Tag").toInt();
        if (k >= 1 && k <= 11 && obj == img[k]) {
            Click(k);
            return true;
        }
    }
    return TfrmBase::eventFilter(obj, e);
}

void TFormSelectTableDlg::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        focusNextPrevChild(!(e->modifiers() & Qt::ShiftModifier));
        e->accept();
        return;
    }
    TfrmBase::keyPressEvent(e);
}
