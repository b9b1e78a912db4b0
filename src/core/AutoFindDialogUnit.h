#pragma once
// TAutoFindDialogForm: a modal read-only list over any query, with columns the
// caller describes (TAutoColumnInfo); the operator picks one row.
//
//     TAutoFindDialogForm dlg(this, sql, {{"번호", 60, Qt::AlignCenter, "", true}, ...},
//                             caption, currentValue, 500, 400);
//     dlg.SetParams({{":LCNO", 12}});                 // optional bound values
//     if (dlg.exec() == QDialog::Accepted && !dlg.SelectedData().isEmpty()) ...
#include "foundation/TypeUnit.h"
#include "core/untPickerBase.h"

class TAutoFindDialogForm : public TfrmPickerBase
{
    Q_OBJECT
public:
    TAutoFindDialogForm(QWidget *owner, const QString &sql, const QList<TAutoColumnInfo> &columns,
                        const QString &formCaption, const QVariant &searchValue, int formWidth,
                        int formHeight);

    // Bound values of the statement (the statement names them, e.g. ":LCNO").
    void SetParams(const QVariantMap &params) { FParams = params; }
    // Values of all columns of the focused row, in column order; one empty text per
    // column when no row is focused; empty when the list has no columns (no rows).
    QVariantList SelectedData() const;

public slots:
    void LoadList();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QString FSql;
    QVariantMap FParams;
    QList<TAutoColumnInfo> FColumns;
    QVariant FSearchValue;
    bool FShown = false;
};
