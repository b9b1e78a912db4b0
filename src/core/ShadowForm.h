#pragma once
// TFormShadow: darkens a window while a modal batch panel runs over it: a
// half-transparent light-blue layer over the window's client area that leaves
// the controls whose "Tag" property is 1000 uncovered (and usable), shows the
// "not allowed" cursor and never takes the focus.
//
//     auto *shadow = new TFormShadow(this);   // CreateShadow
//     shadow->UpdateShadow();                 // after showing, on move / resize
//     ... delete shadow;                      // removes it
#include <QPointer>
#include <QRegion>
#include <QWidget>

class TFormShadow : public QWidget
{
    Q_OBJECT
public:
    explicit TFormShadow(QWidget *AForm);
    static TFormShadow *CreateShadow(QWidget *AForm) { return new TFormShadow(AForm); }

    // Recomputes the shade (hidden while the window is minimised) and shows it.
    void UpdateShadow();
    // The shaded region in the window's client coordinates (holes cut out).
    QRegion ShadedRegion() const { return FRegion; }
    static QColor ShadeColour() { return QColor(166, 202, 240, 128); }

protected:
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    QPointer<QWidget> FForm;
    QRegion FRegion;
};
