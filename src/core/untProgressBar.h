#pragma once
// TfrmProgressBar: a small always-on-top tool window holding one progress bar;
// its caption is the message. Centred on its owner, 294 x 39 pixels.
#include <QDialog>

class QProgressBar;

enum TProgressBarStyle { pbstNormal = 0, pbstMarquee = 1 };

class TfrmProgressBar : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmProgressBar(QWidget *owner = nullptr);

    void InitProgress(const QString &Msg, TProgressBarStyle Style, int Min, int Max, int Step);
    // Advances by the step (wrapping to the minimum after the maximum) and repaints.
    void ProgressStep();

    QProgressBar *ProgressBar() const { return FBar; }
    int Step() const { return FStep; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    QProgressBar *FBar = nullptr;
    int FStep = 1;
};
