// The communication settings dialog: the seven COM-ENV keys, whole-second periods
// (1500 ms kept), nothing written when nothing changed, theme and preview boxes.
#include <QtTest>

#include "CentreLinkTestSupport.h"
#include "foundation/IniFile.h"
#include "core/Quorval.h"
#include "centrelink/untCOM_E.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {
const char *kIni = "[COM-ENV]\n"
                   "RC_BIG_ENDIAN=1\n"
                   "ADMIN_MODE=1\n"
                   "\n"
                   "[DBMS]\n"
                   "DBMS_TYPE=MARIADB\n";

TComEnvSettings sample()
{
    TComEnvSettings s;
    s.G_HOST = QStringLiteral("10.1.2.3");
    s.G_RC_CTRL_PORT = 12000;
    s.G_RC_MNTR_PORT = 12001;
    s.G_RC_MNTR_PERIOD = 1500;
    s.G_RC_MNTR_RETRYPERIOD = 10000;
    s.G_THEME_NAME = QStringLiteral("Windows");
    s.G_LC_MNTR_OPTION = 1;
    s.G_SERVER_BIGENDIAN = true;
    return s;
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
} // namespace

class TestRcSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { CentreLinkTest::LoadTexts(TsiLangDispatcher::LangKorean); }
    void init();

    void showsValues();
    void changeWritesExactlySevenKeysAndKeeps1500();
    void periodChangeInWholeSeconds();
    void nothingChangedStaysOpen();
    void themeChangeShowsTheRestartBox();
    void previewOfWindowsShowsABox();
    void cancelReloads();
    void closeWritesNothing();

private:
    QTemporaryDir m_dir;
    QString m_ini;
};

void TestRcSettings::init()
{
    m_ini = m_dir.filePath(QStringLiteral("signal-console.ini"));
    QFile f(m_ini);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(kIni);
}

void TestRcSettings::showsValues()
{
    TfrmCOM_E dlg(sample(), m_ini);
    dlg.show();
    QCOMPARE(dlg.ipaRCIP->text(), QStringLiteral("10.1.2.3"));
    QCOMPARE(dlg.edtCtrlPort->value(), 12000);
    QCOMPARE(dlg.edtMntrPort->value(), 12001);
    QCOMPARE(dlg.edtMntrPeriod->value(), 1);
    QCOMPARE(dlg.edtMntrRetryPeriod->value(), 10);
    QCOMPARE(dlg.cbxStyleList->currentText().toLower(), QStringLiteral("windows"));
    QVERIFY(dlg.rbMulti->isChecked());
    QCOMPARE(dlg.txtRCSystem->text(), QStringLiteral("서버 : 64-bit OS, Big-endian"));
    QStringList styles;
    for (int i = 0; i < dlg.cbxStyleList->count(); ++i)
        styles << dlg.cbxStyleList->itemText(i);
    QStringList sorted = styles;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(styles, sorted);
}

void TestRcSettings::changeWritesExactlySevenKeysAndKeeps1500()
{
    TfrmCOM_E dlg(sample(), m_ini);
    dlg.show();
    dlg.edtCtrlPort->setValue(13000);
    dlg.btnOK->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.Settings().G_RC_CTRL_PORT, 13000);
    QCOMPARE(dlg.Settings().G_RC_MNTR_PERIOD, 1500); // untouched field: kept

    TIniFile ini(m_ini);
    QStringList keys = ini.ReadSection(QStringLiteral("COM-ENV"));
    keys.sort();
    QStringList expected = {"RC_BIG_ENDIAN", "ADMIN_MODE", "RC_IP", "RC_CTRL_PORT", "RC_MNTR_PORT",
                            "RC_MNTR_PERIOD", "RC_MNTR_RETRYPERIOD", "THEME_NAME", "LC_MNTR_OPTION"};
    expected.sort();
    QCOMPARE(keys, expected);
    QCOMPARE(ini.ReadString("COM-ENV", "RC_IP", ""), QStringLiteral("10.1.2.3"));
    QCOMPARE(ini.ReadInteger("COM-ENV", "RC_CTRL_PORT", 0), 13000);
    QCOMPARE(ini.ReadInteger("COM-ENV", "RC_MNTR_PORT", 0), 12001);
    QCOMPARE(ini.ReadInteger("COM-ENV", "RC_MNTR_PERIOD", 0), 1);
    QCOMPARE(ini.ReadInteger("COM-ENV", "RC_MNTR_RETRYPERIOD", 0), 10);
    QCOMPARE(ini.ReadString("COM-ENV", "THEME_NAME", "").toLower(), QStringLiteral("windows"));
    QCOMPARE(ini.ReadInteger("COM-ENV", "LC_MNTR_OPTION", -1), 1);
    QCOMPARE(ini.ReadInteger("COM-ENV", "RC_BIG_ENDIAN", 0), 1);
    QCOMPARE(ini.ReadString("DBMS", "DBMS_TYPE", ""), QStringLiteral("MARIADB"));
}

void TestRcSettings::periodChangeInWholeSeconds()
{
    TComEnvSettings s = sample();
    s.G_RC_MNTR_PERIOD = 1000;
    TfrmCOM_E dlg(s, m_ini);
    dlg.show();
    dlg.edtMntrPeriod->setValue(3);
    dlg.rbSingle->setChecked(true);
    dlg.btnOK->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.Settings().G_RC_MNTR_PERIOD, 3000);
    QCOMPARE(dlg.Settings().G_LC_MNTR_OPTION, 0);
    TIniFile ini(m_ini);
    QCOMPARE(ini.ReadInteger("COM-ENV", "RC_MNTR_PERIOD", 0), 3);
    QCOMPARE(ini.ReadInteger("COM-ENV", "LC_MNTR_OPTION", -1), 0);
}

void TestRcSettings::nothingChangedStaysOpen()
{
    const QByteArray before = readAll(m_ini);
    TfrmCOM_E dlg(sample(), m_ini);
    dlg.show();
    dlg.btnOK->click();
    QVERIFY(dlg.isVisible());
    QCOMPARE(readAll(m_ini), before);
    QCOMPARE(dlg.Settings().G_RC_MNTR_PERIOD, 1500);
}

void TestRcSettings::themeChangeShowsTheRestartBox()
{
    ScriptedMsgDlg boxes;
    TfrmCOM_E dlg(sample(), m_ini);
    dlg.show();
    int other = -1;
    for (int i = 0; i < dlg.cbxStyleList->count(); ++i)
        if (dlg.cbxStyleList->itemText(i).compare(QLatin1String("Windows"), Qt::CaseInsensitive) != 0)
            other = i;
    if (other < 0)
        QSKIP("only one style available");
    dlg.cbxStyleList->setCurrentIndex(other);
    dlg.btnOK->click();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.last().kind, mkInformation);
    QCOMPARE(boxes.last().caption, QStringLiteral("테마 변경"));
    QCOMPARE(boxes.last().text, QStringLiteral("프로그램 재시작시 적용됩니다."));
    TIniFile ini(m_ini);
    QCOMPARE(ini.ReadString("COM-ENV", "THEME_NAME", ""), dlg.cbxStyleList->itemText(other));
}

void TestRcSettings::previewOfWindowsShowsABox()
{
    ScriptedMsgDlg boxes;
    TfrmCOM_E dlg(sample(), m_ini);
    dlg.show();
    dlg.cbxStyleList->setCurrentIndex(dlg.cbxStyleList->findText(QStringLiteral("windows"), Qt::MatchFixedString));
    dlg.btnPreview->click();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.last().caption, QStringLiteral("테마 미리보기"));
    QCOMPARE(boxes.last().text, QStringLiteral("윈도우 기본 테마는 미리보기를 지원하지 않습니다."));
}

void TestRcSettings::cancelReloads()
{
    TfrmCOM_E dlg(sample(), m_ini);
    dlg.show();
    dlg.ipaRCIP->setText(QStringLiteral("1.1.1.1"));
    dlg.edtMntrRetryPeriod->setValue(99);
    dlg.btnCancel->click();
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.ipaRCIP->text(), QStringLiteral("10.1.2.3"));
    QCOMPARE(dlg.edtMntrRetryPeriod->value(), 10);
}

void TestRcSettings::closeWritesNothing()
{
    const QByteArray before = readAll(m_ini);
    TfrmCOM_E dlg(sample(), m_ini);
    dlg.show();
    dlg.edtCtrlPort->setValue(1);
    dlg.btnClose->click();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(readAll(m_ini), before);
}

QTEST_MAIN(TestRcSettings)
#include "tst_rc_settings.moc"
