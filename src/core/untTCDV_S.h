#pragma once
// TfrmTCDV_S: modal intersection picker (also a node picker in node mode).
// Opener: create, set the caption (DM->T_TcdvSTitle or its own), optionally tick
// and hide chxOnlySgnl, set FTCDV_ID (row to preselect) and SearchMode; exec();
// on OK read qryTCDVINT_LCNO() (text "0012"; .toInt() gives 12), qryTCDVINT_SANO(),
// qryTCDVNODE_ID() ...; free.
//
// The search text is matched literally (bound parameters; %, _ are plain characters).
#include "foundation/TypeUnit.h"
#include "core/untPickerBase.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class TfrmTCDV_S : public TfrmPickerBase
{
    Q_OBJECT
public:
    explicit TfrmTCDV_S(QWidget *owner = nullptr);

    int FTCDV_ID = 0;           // intersection to focus after loading
    QCheckBox *chxOnlySgnl = nullptr;
    QLineEdit *edtSearch = nullptr;
    QLabel *lblSearch = nullptr;
    QLineEdit *edtPolice = nullptr;   // hidden
    QLineEdit *edtDistrict = nullptr; // hidden
    QWidget *pnlPolice = nullptr;

    TSearchMode SearchMode() const { return FSearchMode; }
    void SetSearchMode(TSearchMode mode);
    bool Searched() const { return FSearched; }

    // Fields of the focused row (texts as the query gives them).
    QVariant qryTCDVINT_SANO() const { return Value("INT_SANO"); }
    QVariant qryTCDVINT_LCNO() const { return Value("INT_LCNO"); }
    QVariant qryTCDVINT_NAME() const { return Value("INT_NAME"); }
    QVariant qryTCDVINT_IMPORFLAG() const { return Value("INT_IMPORFLAG"); }
    QVariant qryTCDVNODE_ID() const { return Value("NODE_ID"); }
    QVariant qryTCDVNODE_NAME() const { return Value("NODE_NAME"); }
    QVariant qryTCDVINT_REGFLAG() const { return Value("INT_REGFLAG"); }
    QVariant qryTCDVNODE_LAT() const { return Value("NODE_LAT"); }
    QVariant qryTCDVNODE_LNG() const { return Value("NODE_LNG"); }

    // The statement and its parameters for a search text (tests read them).
    static QString BuildSql(TSearchMode mode, bool onlySignal, const QString &searchText,
                            QVariantMap *params);

public slots:
    // Loads the list for the current search text and check box.
    void Search();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) override;
    void Retranslate() override;

private:
    TSearchMode FSearchMode = smNormal;
    bool FSearched = false;
    bool FShown = false;
};
