#pragma once
// TfrmSA_S: modal group picker: one row per group with its member
// intersections. Opener: create, caption DM->T_SaSTitle, exec(); on OK read
// SA_ID() (0 when the list was empty: no choice); free.
#include "core/untPickerBase.h"

class TfrmSA_S : public TfrmPickerBase
{
    Q_OBJECT
public:
    explicit TfrmSA_S(QWidget *owner = nullptr);

    // Group number of the focused row (0 for none); follows the focus.
    int SA_ID() const { return FSA_ID; }
    void SetSA_ID(int value) { FSA_ID = value; }

    // Member text of one intersection: "12.Name", "(CI)" appended for class 1.
    static QString MemberText(const QVariant &lcNo, const QVariant &name, const QVariant &imporFlag,
                              const QString &none);

public slots:
    void LoadGroups();

protected:
    void showEvent(QShowEvent *e) override;

private:
    int FSA_ID = 0;
    bool FShown = false;
};
