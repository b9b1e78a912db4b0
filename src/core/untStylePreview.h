#pragma once
// TfrmStylePreview: shows a sample window painted in a visual style (by name).
// The opener creates it with itself as owner, sets FStyleName and the caption
// and shows it modally. A style that does not load leaves the preview empty.
#include <QPointer>

#include "core/untBase.h"

class QStyle;

class TfrmStylePreview : public TfrmBase
{
    Q_OBJECT
public:
    explicit TfrmStylePreview(QWidget *owner = nullptr);
    ~TfrmStylePreview() override;

    QString FStyleName;
    QWidget *FPreview = nullptr;     // the sample (empty when the style did not load)
    bool StyleLoaded() const { return FStyle != nullptr; }

public slots:
    void actCloseExecute() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    QStyle *FStyle = nullptr;
    QWidget *FHolder = nullptr;
};
