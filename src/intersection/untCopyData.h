#pragma once
// The copy windows: TFormCopyGroup copies chosen data of one group to another
// group number, TFormCopyInt the same for an intersection. Both share this
// frame (source and target number boxes with their names, the name of a new
// target, the option buttons with their ticks, Copy and Close); the checks and
// the copy live in CopyData.
#include <QList>

#include "core/untBase.h"
#include "intersection/CopyData.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormCopyBase : public TfrmBase
{
    Q_OBJECT
public:
    QLineEdit *nedtSrc = nullptr, *nedtDest = nullptr, *edtNewName = nullptr;
    QLabel *lblSrc = nullptr, *lblDest = nullptr, *lblSrcName = nullptr, *lblDestName = nullptr;
    QGroupBox *grpNumbers = nullptr, *grpOptions = nullptr;
    QList<QPushButton *> btnOptions;  // index 0 is option 1 ("전체")
    QList<QLabel *> imgOptions;
    QPushButton *btnCopy = nullptr, *btnCloseWindow = nullptr;
    QAction *actCopy = nullptr;

    const CopyData::TSelection &FSelection() const { return FSel; }
    // Option k (1 to N) as its button or picture toggles it.
    void SelectButtonClick(int k);

public slots:
    // The checks, the question and the copy; true when copied.
    bool actCopyExecute();

protected:
    TFormCopyBase(QWidget *owner, const CopyData::TCopyKind &kind, const QString &table);
    void Retranslate() override;
    virtual QString LookupName(int number) const = 0;
    virtual bool Exists(int number) const = 0;
    virtual bool Pick(int *number) = 0;

private:
    void SearchEditChange(QLineEdit *edit);
    void ShowSelection();
    bool eventFilter(QObject *obj, QEvent *e) override;
    const CopyData::TCopyKind &FKind;
    CopyData::TSelection FSel;
};

class TFormCopyGroup : public TFormCopyBase
{
    Q_OBJECT
public:
    explicit TFormCopyGroup(QWidget *owner = nullptr);

protected:
    QString LookupName(int number) const override;
    bool Exists(int number) const override;
    bool Pick(int *number) override;
};

class TFormCopyInt : public TFormCopyBase
{
    Q_OBJECT
public:
    explicit TFormCopyInt(QWidget *owner = nullptr);

protected:
    QString LookupName(int number) const override;
    bool Exists(int number) const override;
    bool Pick(int *number) override;
};
