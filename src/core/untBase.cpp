#include "core/untBase.h"

#include <QAction>
#include <QCloseEvent>
#include <QScreen>
#include <QShowEvent>

#include "core/siLang.h"
#include "core/untDM.h"

TfrmBase::TfrmBase(QWidget *owner, const QString &table) : QDialog(owner), FTable(table)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    auto make = [this](QAction *&a, const char *name) {
        a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        addAction(a);
    };
    make(actSearch, "actSearch");
    make(actAdd, "actAdd");
    make(actDel, "actDel");
    make(actSave, "actSave");
    make(actOK, "actOK");
    make(actCancel, "actCancel");
    make(actExport, "actExport");
    make(actClose, "actClose");
    make(actSelect, "actSelect");
    connect(actClose, &QAction::triggered, this, [this] { actCloseExecute(); });
    InitLanguage();
}

QString TfrmBase::TextTable() const
{
    return FTable.isEmpty() ? QString::fromLatin1(metaObject()->className()) : FTable;
}

QString TfrmBase::Tx(const QString &key) const
{
    auto *d = TsiLangDispatcher::instance();
    const int lang = d->ActiveLanguage();
    const QString table = TextTable();
    if (d->HasText(table, key, lang))
        return d->Text(table, key);
    if (d->HasText(QStringLiteral("TfrmBase"), key, lang))
        return d->Text(QStringLiteral("TfrmBase"), key);
    return d->Text(table, key); // [TDM], else the key
}

void TfrmBase::InitLanguage()
{
    const QString table = TextTable();
    if (!FLang || FLang->Table() != table) {
        delete FLang;
        FLang = new TsiLangLinked(this, table, [this] { Retranslate(); });
    }
    FLang->Retranslate();
}

void TfrmBase::Retranslate()
{
    const QList<QAction *> acts{actSearch, actAdd, actDel, actSave, actOK,
                                actCancel, actExport, actClose, actSelect};
    for (QAction *a : acts)
        a->setText(Tx(a->objectName() + QStringLiteral(".Caption")));
}

int TfrmBase::ShowModal()
{
    FIsModal = true;
    return exec();
}

QSqlQuery TfrmBase::NewQuery() const
{
    return DM ? QSqlQuery(DM->Con()) : QSqlQuery();
}

bool TfrmBase::MayClose()
{
    if (!FCloseAgreed)
        FCloseAgreed = CanClose();
    return FCloseAgreed;
}

void TfrmBase::reject()
{
    if (MayClose())
        QDialog::reject();
}

void TfrmBase::closeEvent(QCloseEvent *e)
{
    if (!MayClose()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void TfrmBase::actCloseExecute()
{
    if (!MayClose())
        return;
    if (FIsModal)
        done(mrOK);
    else
        close();
}

void TfrmBase::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FCloseAgreed = false;
    if (FCentred)
        return;
    FCentred = true;
    QRect area;
    if (QWidget *o = parentWidget())
        area = o->window()->frameGeometry();
    else if (QScreen *s = screen())
        area = s->availableGeometry();
    if (area.isValid()) {
        QRect g = frameGeometry();
        g.moveCenter(area.center());
        move(g.topLeft());
    }
}
