#pragma once
// TfrmMvmt_S: modal movement picker: the 18 movement numbers with their
// pictures. Opener: create, caption, exec(); on OK read SelectedMvmtNo; free.
#include "core/untPickerBase.h"

class TfrmMvmt_S : public TfrmPickerBase
{
    Q_OBJECT
public:
    explicit TfrmMvmt_S(QWidget *owner = nullptr);
    int SelectedMvmtNo = 0;

public slots:
    void actSelectExecute() override;
};
