#include "centrelink/untCOM_E.h"

#include "foundation/IniFile.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

#if __has_include("untStylePreview.h")
#include "core/untStylePreview.h"
#define CENTRELINK_HAVE_STYLE_PREVIEW 1
#endif

namespace {
const QString kSection = QStringLiteral("COM-ENV");
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

TComEnvSettings TComEnvSettings::FromDM()
{
    TComEnvSettings s;
    if (!DM)
        return s;
    s.G_HOST = DM->G_HOST;
    s.G_RC_CTRL_PORT = DM->G_RC_CTRL_PORT;
    s.G_RC_MNTR_PORT = DM->G_RC_MNTR_PORT;
    s.G_RC_MNTR_PERIOD = DM->G_RC_MNTR_PERIOD;
    s.G_RC_MNTR_RETRYPERIOD = DM->G_RC_MNTR_RETRYPERIOD;
    s.G_THEME_NAME = DM->G_THEME_NAME;
    s.G_LC_MNTR_OPTION = int(DM->G_LC_MNTR_OPTION);
    s.G_SERVER_BIGENDIAN = DM->G_SERVER_BIGENDIAN;
    return s;
}

void TComEnvSettings::ToDM() const
{
    if (!DM)
        return;
    DM->G_HOST = G_HOST;
    DM->G_RC_CTRL_PORT = G_RC_CTRL_PORT;
    DM->G_RC_MNTR_PORT = G_RC_MNTR_PORT;
    DM->G_RC_MNTR_PERIOD = G_RC_MNTR_PERIOD;
    DM->G_RC_MNTR_RETRYPERIOD = G_RC_MNTR_RETRYPERIOD;
    DM->G_THEME_NAME = G_THEME_NAME;
    DM->G_LC_MNTR_OPTION = G_LC_MNTR_OPTION == 0 ? lcmoSingle : lcmoMulti;
}

bool TComEnvSettings::WriteIni(const QString &iniFile) const
{
    TIniFile ini(iniFile);
    bool ok = ini.WriteString(kSection, QStringLiteral("RC_IP"), G_HOST);
    ok = ini.WriteInteger(kSection, QStringLiteral("RC_CTRL_PORT"), G_RC_CTRL_PORT) && ok;
    ok = ini.WriteInteger(kSection, QStringLiteral("RC_MNTR_PORT"), G_RC_MNTR_PORT) && ok;
    ok = ini.WriteInteger(kSection, QStringLiteral("RC_MNTR_PERIOD"), G_RC_MNTR_PERIOD / 1000) && ok;
    ok = ini.WriteInteger(kSection, QStringLiteral("RC_MNTR_RETRYPERIOD"), G_RC_MNTR_RETRYPERIOD / 1000) && ok;
    ok = ini.WriteString(kSection, QStringLiteral("THEME_NAME"), G_THEME_NAME) && ok;
    ok = ini.WriteInteger(kSection, QStringLiteral("LC_MNTR_OPTION"), G_LC_MNTR_OPTION) && ok;
    return ok;
}

// ---------------------------------------------------------------------------
// Dialog
// ---------------------------------------------------------------------------

TfrmCOM_E::TfrmCOM_E(QWidget *owner)
    : QDialog(owner), FSettings(TComEnvSettings::FromDM()), FIniFile(DM ? DM->IniFileName() : QString()),
      FBoundToDM(true)
{
    Build();
}

TfrmCOM_E::TfrmCOM_E(const TComEnvSettings &settings, const QString &iniFile, QWidget *owner)
    : QDialog(owner), FSettings(settings), FIniFile(iniFile)
{
    Build();
}

void TfrmCOM_E::Build()
{
    setObjectName(QStringLiteral("frmCOM_E"));

    auto *grpComm = new QGroupBox(this);
    grpComm->setObjectName(QStringLiteral("grpCommunication"));
    ipaRCIP = new QLineEdit(grpComm);
    ipaRCIP->setObjectName(QStringLiteral("ipaRCIP"));
    ipaRCIP->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[0-9]{0,3}(\\.[0-9]{0,3}){0,3}$")), ipaRCIP));
    auto spin = [grpComm](const char *name, int max) {
        auto *s = new QSpinBox(grpComm);
        s->setObjectName(QLatin1String(name));
        s->setRange(0, max);
        return s;
    };
    edtCtrlPort = spin("edtCtrlPort", 65535);
    edtMntrPort = spin("edtMntrPort", 65535);
    edtMntrPeriod = spin("edtMntrPeriod", 86400);
    edtMntrRetryPeriod = spin("edtMntrRetryPeriod", 86400);
    txtRCSystem = new QLineEdit(grpComm);
    txtRCSystem->setObjectName(QStringLiteral("txtRCSystem"));
    txtRCSystem->setReadOnly(true);

    auto label = [grpComm](const char *name, QWidget *buddy) {
        auto *l = new QLabel(grpComm);
        l->setObjectName(QLatin1String(name));
        l->setBuddy(buddy);
        return l;
    };
    auto *form = new QFormLayout(grpComm);
    form->addRow(label("lblRCIP", ipaRCIP), ipaRCIP);
    form->addRow(label("lblCtrlPort", edtCtrlPort), edtCtrlPort);
    form->addRow(label("lblMntrPort", edtMntrPort), edtMntrPort);
    form->addRow(label("lblMntrPeriod", edtMntrPeriod), edtMntrPeriod);
    form->addRow(label("lblMntrRetryPeriod", edtMntrRetryPeriod), edtMntrRetryPeriod);
    form->addRow(txtRCSystem);

    auto *grpTheme = new QGroupBox(this);
    grpTheme->setObjectName(QStringLiteral("grpTheme"));
    cbxStyleList = new QComboBox(grpTheme);
    cbxStyleList->setObjectName(QStringLiteral("cbxStyleList"));
    btnPreview = new QPushButton(grpTheme);
    btnPreview->setObjectName(QStringLiteral("btnPreview"));
    auto *themeRow = new QHBoxLayout(grpTheme);
    themeRow->addWidget(cbxStyleList, 1);
    themeRow->addWidget(btnPreview);

    grpLCMoniteringOption = new QGroupBox(this);
    grpLCMoniteringOption->setObjectName(QStringLiteral("grpLCMoniteringOption"));
    rbSingle = new QRadioButton(grpLCMoniteringOption);
    rbSingle->setObjectName(QStringLiteral("rbSingle"));
    rbMulti = new QRadioButton(grpLCMoniteringOption);
    rbMulti->setObjectName(QStringLiteral("rbMulti"));
    FOptionGroup = new QButtonGroup(this);
    FOptionGroup->addButton(rbSingle, 0);
    FOptionGroup->addButton(rbMulti, 1);
    auto *optionRow = new QHBoxLayout(grpLCMoniteringOption);
    optionRow->addWidget(rbSingle);
    optionRow->addWidget(rbMulti);

    btnOK = new QPushButton(this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grpComm);
    layout->addWidget(grpTheme);
    layout->addWidget(grpLCMoniteringOption);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TfrmCOM_E::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmCOM_E::btnCancelClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmCOM_E::btnCloseClick);
    connect(btnPreview, &QPushButton::clicked, this, &TfrmCOM_E::btnPreviewClick);

    // Creation: the names of the available styles, sorted.
    QStringList styles = QStyleFactory::keys();
    bool haveWindows = false;
    for (const QString &s : std::as_const(styles))
        haveWindows = haveWindows || s.compare(QLatin1String("Windows"), Qt::CaseInsensitive) == 0;
    if (!haveWindows)
        styles << QStringLiteral("Windows");
    styles.sort(Qt::CaseInsensitive);
    cbxStyleList->addItems(styles);

    FLang = new TsiLangLinked(this, QStringLiteral("TfrmCOM_E"), [this] {
        txtRCSystem->setText(CommLogFormatServer());
    });
    FLang->Retranslate();
    LoadValues();
}

QString TfrmCOM_E::CommLogFormatServer() const
{
    QString text = FLang ? FLang->Text(QStringLiteral("IDS_5")) : QString();
    const QString order = FSettings.G_SERVER_BIGENDIAN ? QStringLiteral("Big-endian")
                                                       : QStringLiteral("Little-endian");
    const int first = text.indexOf(QLatin1String("%s"));
    if (first >= 0) {
        text.replace(first, 2, QStringLiteral("64"));
        const int second = text.indexOf(QLatin1String("%s"), first + 2);
        if (second >= 0)
            text.replace(second, 2, order);
    }
    return text;
}

void TfrmCOM_E::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    txtRCSystem->setText(CommLogFormatServer());
    LoadValues();
}

void TfrmCOM_E::LoadValues()
{
    ipaRCIP->setText(FSettings.G_HOST);
    edtCtrlPort->setValue(FSettings.G_RC_CTRL_PORT);
    edtMntrPort->setValue(FSettings.G_RC_MNTR_PORT);
    edtMntrPeriod->setValue(FSettings.G_RC_MNTR_PERIOD / 1000);
    edtMntrRetryPeriod->setValue(FSettings.G_RC_MNTR_RETRYPERIOD / 1000);
    // The active style's name; the stored theme when the application has none of them.
    QString active = FSettings.G_THEME_NAME;
    int index = cbxStyleList->findText(active, Qt::MatchFixedString);
    if (index < 0 && QApplication::style())
        index = cbxStyleList->findText(QApplication::style()->name(), Qt::MatchFixedString);
    cbxStyleList->setCurrentIndex(index);
    if (QAbstractButton *b = FOptionGroup->button(FSettings.G_LC_MNTR_OPTION == 0 ? 0 : 1))
        b->setChecked(true);
}

int TfrmCOM_E::LcOptionIndex() const
{
    const int id = FOptionGroup->checkedId();
    return id < 0 ? FSettings.G_LC_MNTR_OPTION : id;
}

QString TfrmCOM_E::AppTitle() const
{
    if (DM && !DM->G_APP_TITLE.isEmpty())
        return DM->G_APP_TITLE;
    return QApplication::applicationDisplayName();
}

bool TfrmCOM_E::ApplyChanges()
{
    bool changed = false;
    const QString host = ipaRCIP->text().trimmed();
    if (host != FSettings.G_HOST) {
        FSettings.G_HOST = host;
        changed = true;
    }
    if (edtCtrlPort->value() != FSettings.G_RC_CTRL_PORT) {
        FSettings.G_RC_CTRL_PORT = edtCtrlPort->value();
        changed = true;
    }
    if (edtMntrPort->value() != FSettings.G_RC_MNTR_PORT) {
        FSettings.G_RC_MNTR_PORT = edtMntrPort->value();
        changed = true;
    }
    // Whole seconds against whole seconds: an untouched 1500 ms stays 1500 ms.
    if (edtMntrPeriod->value() != FSettings.G_RC_MNTR_PERIOD / 1000) {
        FSettings.G_RC_MNTR_PERIOD = edtMntrPeriod->value() * 1000;
        changed = true;
    }
    if (edtMntrRetryPeriod->value() != FSettings.G_RC_MNTR_RETRYPERIOD / 1000) {
        FSettings.G_RC_MNTR_RETRYPERIOD = edtMntrRetryPeriod->value() * 1000;
        changed = true;
    }
    const QString style = cbxStyleList->currentText();
    if (!style.isEmpty() && style.compare(FSettings.G_THEME_NAME, Qt::CaseInsensitive) != 0) {
        FSettings.G_THEME_NAME = style;
        changed = true;
        // The style is applied at the next start.
        ShowMsgDlg(this, AppTitle(), FLang->Text(QStringLiteral("IDS_0")), FLang->Text(QStringLiteral("IDS_1")),
                   QString(), mkInformation);
    }
    const int option = LcOptionIndex();
    if (option != FSettings.G_LC_MNTR_OPTION) {
        FSettings.G_LC_MNTR_OPTION = option;
        changed = true;
    }
    if (!changed)
        return false;
    if (FBoundToDM)
        FSettings.ToDM();
    if (!FIniFile.isEmpty())
        FSettings.WriteIni(FIniFile);
    return true;
}

void TfrmCOM_E::btnOKClick()
{
    if (ApplyChanges())
        accept();
}

void TfrmCOM_E::btnCancelClick()
{
    if (FBoundToDM)
        FSettings = TComEnvSettings::FromDM();
    LoadValues();
}

void TfrmCOM_E::btnCloseClick() { reject(); }

void TfrmCOM_E::btnPreviewClick()
{
    const QString style = cbxStyleList->currentText();
    if (style.compare(QLatin1String("Windows"), Qt::CaseInsensitive) == 0) {
        ShowMsgDlg(this, AppTitle(), FLang->Text(QStringLiteral("IDS_2")), FLang->Text(QStringLiteral("IDS_3")),
                   QString(), mkInformation);
        return;
    }
#ifdef CENTRELINK_HAVE_STYLE_PREVIEW
    TfrmStylePreview preview(this);
    preview.FStyleName = style;
    preview.setWindowTitle(FLang->Text(QStringLiteral("IDS_3")));
    preview.exec();
#endif
}
