#pragma once
// TFormSaTool: the outline tool of the administrator. It lists every group with
// its outline, writes the list to a workbook, loads such a workbook back into
// the list and writes the outlines of the list into the database. The rows,
// files and statements are SaOutlines'; no refresh flag is raised.
#include <QList>

#include "core/untBase.h"
#include "plans/SaOutlines.h"

class QPushButton;
class TGridView;
class TGridModel;

class TFormSaTool : public TfrmBase
{
    Q_OBJECT
public:
    explicit TFormSaTool(QWidget *owner = nullptr);

    TGridView *gtvGrid = nullptr;
    QPushButton *btnSaveToExcel = nullptr, *btnLoad = nullptr, *btnSaveToDB = nullptr;

    // The rows the list holds.
    QList<SaOutlines::TOutline> Outlines() const { return FRows; }
    TGridModel *Model() const;

public slots:
    void ListOutlines();
    bool actSaveToExcelExecute();
    bool actLoadExecute();
    bool actSaveToDBExecute();

protected:
    void Retranslate() override;

private:
    void ShowRows();
    QList<SaOutlines::TOutline> FRows;
};
