#pragma once
// TProgramInfoForm: the program information window (program name, version,
// notices and contact links). Created by the main window's program-information
// action and shown modally. A click on a link opens its target.
#include "core/untBase.h"

class QLabel;

class TProgramInfoForm : public TfrmBase
{
    Q_OBJECT
public:
    explicit TProgramInfoForm(QWidget *owner = nullptr);
    QLabel *lblProgram = nullptr;   // "실시간 교통신호제어시스템"
    QLabel *lblVersion = nullptr;   // "Version 1.0"
    QList<QLabel *> LinkLabels;

public slots:
    void actCloseExecute() override;
};
