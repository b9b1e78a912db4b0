#include "core/untMvmt_S.h"

#include "core/untTCDV_S_Phase.h"

TfrmMvmt_S::TfrmMvmt_S(QWidget *owner) : TfrmPickerBase(owner)
{
    resize(260, 560);
    pnlTop->setVisible(false);
    btnExport->setVisible(false);
    SetColumns({
        TGridColumn("MVMT_NO", QString::fromUtf8("이동류 번호")).Key("gtvMvmtMVMT_NO.Caption").W(90),
        TGridColumn("MVMT_IMG", QString::fromUtf8("이동류")).Key("gtvMvmtMVMT_IMG.Caption").W(90)
            .Ed("cxEditRepositoryImageComboBoxMvmt"),
    });
    Model()->BeginUpdate();
    for (int n = 1; n <= 18; ++n)
        Model()->AddLoaded({n, MvmtPictureIndex(n)}, QVariant());
    Model()->EndUpdate();
    Grid()->FocusDisplayRow(0);
    InitLanguage();
}

void TfrmMvmt_S::actSelectExecute()
{
    bool ok = false;
    const int n = Value("MVMT_NO").toInt(&ok);
    SelectedMvmtNo = ok && n > 0 ? n : 1;
    done(mrOK);
}
