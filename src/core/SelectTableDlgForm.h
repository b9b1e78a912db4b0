#pragma once
// TFormSelectTableDlg: the choice of the kinds of data to take over in the
// import of a configuration workbook: eleven entries (1 all, 2 to 6 group data,
// 7 to 11 intersection data), each 1 (chosen) or 2 (not chosen).
#include <array>

#include "core/untBase.h"

class QGroupBox;
class QLabel;
class QPushButton;

class TFormSelectTableDlg : public TfrmBase
{
    Q_OBJECT
public:
    explicit TFormSelectTableDlg(QWidget *owner = nullptr);

    using TSelection = std::array<quint8, 12>; // [1] .. [11]; [0] unused
    // The eleven entries in index order (1 chosen, 2 not chosen).
    QList<quint8> SelectedTable() const;
    QList<quint8> GetSelectedTable() const { return SelectedTable(); }
    // Toggles entry k as a click does (entry 1 sets all; the others keep entry 1
    // equal to "all of 2 to 11 chosen").
    static void Toggle(TSelection &selection, int k);
    // Whether OK may close (some entry of 2 to 11 chosen).
    static bool AnyChosen(const TSelection &selection);

    QGroupBox *grpTables = nullptr;
    QPushButton *btn[12] = {};
    QLabel *img[12] = {};
    QPushButton *btnOK = nullptr, *btnCancel = nullptr;

public slots:
    void Click(int k);
    void actOKExecute();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    void ShowImages();
    TSelection FSelection{};
};
