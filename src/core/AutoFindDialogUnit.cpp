#include "core/AutoFindDialogUnit.h"

#include <QApplication>
#include <QSqlQuery>
#include <QSqlRecord>

#include "core/untDM.h"

TAutoFindDialogForm::TAutoFindDialogForm(QWidget *owner, const QString &sql,
                                         const QList<TAutoColumnInfo> &columns,
                                         const QString &formCaption, const QVariant &searchValue,
                                         int formWidth, int formHeight)
    : TfrmPickerBase(owner), FSql(sql), FColumns(columns), FSearchValue(searchValue)
{
    pnlTop->setVisible(false);
    setWindowTitle(formCaption);
    resize(formWidth > 0 ? formWidth : 500, formHeight > 0 ? formHeight : 400);
    Grid()->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    InitLanguage();
    setWindowTitle(formCaption);
}

void TAutoFindDialogForm::LoadList()
{
    Model()->SetColumns({}, false);
    if (!DM)
        return;
    QSqlQuery q(DM->Con());
    q.setForwardOnly(true);
    q.prepare(FSql);
    for (auto it = FParams.cbegin(); it != FParams.cend(); ++it)
        q.bindValue(it.key(), it.value());
    if (!DM->QueryOpen(q, this))
        return; // failure (shown) or no row: the grid stays empty, without columns
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TGridColumns cols;
    for (int i = 0; i < FColumns.size(); ++i) {
        const TAutoColumnInfo &c = FColumns[i];
        TGridColumn g(QStringLiteral("COL%1").arg(i), c.Caption);
        g.Width = c.Width;
        g.Editor = c.RepositoryItem;
        g.Visible = c.Visible;
        g.HeaderAlign = c.HeaderHorizontalAlign & Qt::AlignHorizontal_Mask;
        cols << g;
    }
    SetColumns(cols);
    const int fields = q.record().count();
    Model()->BeginUpdate();
    do {
        QVariantList row;
        for (int k = 0; k < FColumns.size() && k < fields; ++k)
            row << q.value(k);
        Model()->AddLoaded(row, QVariant());
    } while (q.next());
    Model()->EndUpdate();
    QApplication::restoreOverrideCursor();

    if (Grid()->DisplayCount() == 0)
        return;
    int rec = -1;
    if (FSearchValue.isValid() && !FSearchValue.isNull())
        rec = Model()->FindText(0, FSearchValue.toString(), 0, true);
    if (rec >= 0)
        Grid()->FocusRecord(rec);
    else
        Grid()->FocusDisplayRow(0);
}

QVariantList TAutoFindDialogForm::SelectedData() const
{
    QVariantList list;
    const int cols = Model()->ColumnCount();
    const int rec = SelectedRecord();
    for (int c = 0; c < cols; ++c)
        list << (rec >= 0 ? Model()->Value(rec, c) : QVariant(QString()));
    return list;
}

void TAutoFindDialogForm::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        LoadList();
        Grid()->setFocus();
    }
}
