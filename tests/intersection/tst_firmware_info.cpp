// The firmware register and the maker list against the fixture database: the
// identifier scheme, images loaded from files (bytes, size and CRC-32 as zlib
// computes them), renumbering, the filter by kind, maker and module, refused
// saves, the maker list saved as a table and its empty selection.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QLineEdit>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTest>
#include <zlib.h>

#include "EditorFixture.h"
#include "core/FileDialogService.h"
#include "core/Quorval.h"
#include "intersection/FirmwareRegister.h"
#include "intersection/untFirmwareInfo.h"
#include "intersection/untVendorListDlg.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_firmware_info";

int Col(TGridModel *m, const char *name)
{
    return m->ColumnIndex(QString::fromLatin1(name));
}

QStringList Ids(TGridModel *m)
{
    QStringList ids;
    for (int r = 0; r < m->RecordCount(); ++r)
        ids << QString::number(FirmwareRegister::FwId({m->Value(r, Col(m, "FWType")).toInt(),
                                                       m->Value(r, Col(m, "VendorCD")).toInt(),
                                                       m->Value(r, Col(m, "ModuleNo")).toInt()}));
    return ids;
}

} // namespace

class TestFirmwareInfo : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;
    QTemporaryDir FDir;

    QString WriteFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = FDir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return QString();
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb)); }
    void init()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QString err;
        QVERIFY2(FDb.Run("DELETE FROM SCS_M_FIRMWARE;"
                         "INSERT INTO SCS_M_FIRMWARE (FW_ID, FW_CREDATE, FW_VER_MAJOR, FW_BINARY, FW_SIZE, FW_CRC32) VALUES "
                         "(10103, '2025-01-01 00:00:00', 1, 'a', 1, 'E8B7BE43'),"
                         "(10105, '2025-01-01 00:00:00', 1, 'b', 1, '71BEEFF9'),"
                         "(10305, '2025-01-01 00:00:00', 1, 'c', 1, '06B9DF6F'),"
                         "(10503, '2025-01-01 00:00:00', 1, 'd', 1, NULL),"
                         "(20503, '2025-01-01 00:00:00', 1, 'e', 1, '0');"
                         "DELETE FROM SCS_M_MANUFACTURE;"
                         "INSERT INTO SCS_M_MANUFACTURE VALUES (1, '하나'), (3, '셋'), (5, '다섯');",
                         &err),
                 qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    void identifierScheme_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("fwId");
        QTest::newRow("SCU 12 7") << 2 << 12 << 7 << 21207;
        QTest::newRow("MCU 5 3") << 1 << 5 << 3 << 10503;
        QTest::newRow("MCU 0 0") << 1 << 0 << 0 << 10000;
        QTest::newRow("SCU 99 99") << 2 << 99 << 99 << 29999;
    }
    void identifierScheme()
    {
        QFETCH(int, kind);
        QFETCH(int, vendor);
        QFETCH(int, module);
        QFETCH(int, fwId);
        QCOMPARE(FirmwareRegister::FwId({kind, vendor, module}), fwId);
        const FirmwareRegister::TFwKey key = FirmwareRegister::Decode(fwId);
        QCOMPARE(QList<int>({key.Kind, key.Vendor, key.Module}), QList<int>({kind, vendor, module}));
    }

    // Kind (0 all), maker (-1 all), module (blank all) and the identifiers listed.
    void filter_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("vendor");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("everything") << 0 << -1 << "" << QStringList{"10103", "10105", "10305", "10503", "20503"};
        QTest::newRow("maker 5, not any 05") << 0 << 5 << "" << QStringList{"10503", "20503"};
        QTest::newRow("MCU module 3, not maker 3") << 1 << -1 << "3" << QStringList{"10103", "10503"};
        QTest::newRow("MCU maker 3") << 1 << 3 << "" << QStringList{"10305"};
        QTest::newRow("SCU") << 2 << -1 << "" << QStringList{"20503"};
        QTest::newRow("all three") << 1 << 1 << "05" << QStringList{"10105"};
        QTest::newRow("nothing") << 2 << 1 << "" << QStringList{};
    }
    void filter()
    {
        QFETCH(int, kind);
        QFETCH(int, vendor);
        QFETCH(QString, module);
        QFETCH(QStringList, ids);
        TfrmFirmwareInfo w;
        w.show();
        QCOMPARE(w.GridModel()->RecordCount(), 0);
        w.rgpFWType->button(kind)->setChecked(true);
        w.SetFilterVendor(vendor, QString());
        w.nedModuleNo->setText(module);
        w.actSearch->trigger();
        QCOMPARE(Ids(w.GridModel()), ids);
    }

    void loadsRows()
    {
        TfrmFirmwareInfo w;
        w.show();
        w.actSearch->trigger();
        TGridModel *m = w.GridModel();
        QCOMPARE(m->KeyValue(3).toString(), QString("10503"));
        QCOMPARE(w.cxGrid->DisplayText(4, Col(m, "FWType")), QString("SCU"));
        QCOMPARE(m->Text(0, Col(m, "FW_CRC32")), QString("0xE8B7BE43"));
        QCOMPARE(m->Text(3, Col(m, "FW_CRC32")), QString());
    }

    // A new SCU image of maker 12, module 7 from a file: stored as 21207 with the
    // file's bytes, size and CRC-32.
    void newImageFromFile()
    {
        const QByteArray bytes = QByteArray("\x01\x02\xFF\x00 firmware ", 13).repeated(500);
        const QString file = WriteFile("scu.bin", bytes);
        QVERIFY(!file.isEmpty());
        const QString zlibCrc =
            QString::number(crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())), 16)
                .toUpper()
                .rightJustified(8, '0');
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        files.enqueue(file);
        TfrmFirmwareInfo w;
        w.show();
        w.actAdd->trigger();
        TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 6); // searched first
        const int rec = 5;
        m->EditValue(rec, Col(m, "FWType"), 2);
        m->EditValue(rec, Col(m, "VendorCD"), 12);
        m->EditValue(rec, Col(m, "ModuleNo"), 7);
        m->EditValue(rec, Col(m, "FW_CREDATE"), QDateTime(QDate(2026, 12, 1), QTime(9, 30)));
        m->EditValue(rec, Col(m, "FW_VER_REV"), 65535);
        QVERIFY(w.LoadImage(rec));
        QCOMPARE(files.last().kind, TFileDialogRequest::Open);
        QCOMPARE(m->Value(rec, Col(m, "FW_SIZE")).toInt(), 6500);
        QCOMPARE(m->Text(rec, Col(m, "FW_CRC32")), "0x" + zlibCrc);
        QVERIFY(w.SaveFirmware());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT CONCAT_WS(' ', FW_SIZE, FW_CRC32, FW_VER_REV, FW_CREDATE, IFNULL(FW_FILENAME, 'NULL')) "
                        "FROM SCS_M_FIRMWARE WHERE FW_ID = 21207"),
                 QStringList{"6500 " + zlibCrc + " 65535 2026-12-01 09:30:00 NULL"});
        QSqlQuery q(DM->Con());
        QVERIFY(q.exec("SELECT FW_BINARY FROM SCS_M_FIRMWARE WHERE FW_ID = 21207") && q.next());
        QCOMPARE(q.value(0).toByteArray(), bytes);
        // Shown back as SCU, 12, 7.
        const int back = m->FindKeyValue("21207");
        QVERIFY(back >= 0);
        QCOMPARE(w.cxGrid->DisplayText(back, Col(m, "FWType")), QString("SCU"));
        QCOMPARE(m->Value(back, Col(m, "VendorCD")).toInt(), 12);
        QCOMPARE(m->Value(back, Col(m, "ModuleNo")).toInt(), 7);
    }

    // A changed module renumbers 10503 to 10504; the stored CRC (empty before)
    // becomes that of the image bytes.
    void renumberedRowGetsItsCrc()
    {
        ScriptedMsgDlg boxes;
        TfrmFirmwareInfo w;
        w.show();
        w.actSearch->trigger();
        TGridModel *m = w.GridModel();
        const int rec = m->FindKeyValue("10503");
        m->EditValue(rec, Col(m, "ModuleNo"), 4);
        QVERIFY(w.SaveFirmware());
        // CRC-32 of "d" (zlib: 98DD4ACC).
        QCOMPARE(Column("SELECT CONCAT_WS(' ', FW_ID, FW_SIZE, FW_CRC32) FROM SCS_M_FIRMWARE WHERE FW_ID IN (10503, 10504)"),
                 QStringList{"10504 1 98DD4ACC"});
    }

    // A firmware id stored meanwhile by someone else: the renumbering fails and
    // the grid keeps the edit.
    void failedSaveKeepsTheEdits()
    {
        ScriptedMsgDlg boxes;
        TfrmFirmwareInfo w;
        w.show();
        w.actSearch->trigger();
        TGridModel *m = w.GridModel();
        const int rec = m->FindKeyValue("10503");
        m->EditValue(rec, Col(m, "ModuleNo"), 6);
        QVERIFY(EditorFixture::Exec("INSERT INTO SCS_M_FIRMWARE (FW_ID) VALUES (10506)"));
        QVERIFY(!w.SaveFirmware());
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QCOMPARE(m->State(rec), QString("M"));
        QCOMPARE(m->Value(rec, Col(m, "ModuleNo")).toInt(), 6);
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_FIRMWARE WHERE FW_ID = 10503"), QStringList{"1"});
    }

    void unreadableFileChangesNothing()
    {
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        files.enqueue(FDir.filePath("missing.bin"));
        TfrmFirmwareInfo w;
        w.show();
        w.actSearch->trigger();
        TGridModel *m = w.GridModel();
        QVERIFY(!w.LoadImage(0));
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(m->State(0), QString("N"));
        // Cancelling the dialog changes nothing either, without a box.
        boxes.clear();
        QVERIFY(!w.LoadImage(0));
        QCOMPARE(boxes.count(), 0);
    }

    void refusedSaves_data()
    {
        QTest::addColumn<bool>("withImage");
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("message");
        QTest::newRow("no image") << false << 9 << "필수 입력 항목을 확인바랍니다.";
        QTest::newRow("duplicate key") << true << 3 << "중복된 데이터가 존재합니다.";
    }
    void refusedSaves()
    {
        QFETCH(bool, withImage);
        QFETCH(int, module);
        QFETCH(QString, message);
        const QString file = WriteFile("img.bin", "image");
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        files.enqueue(file);
        TfrmFirmwareInfo w;
        w.show();
        w.actAdd->trigger();
        TGridModel *m = w.GridModel();
        const int rec = m->RecordCount() - 1;
        m->EditValue(rec, Col(m, "FWType"), 1);
        m->EditValue(rec, Col(m, "VendorCD"), 5);
        m->EditValue(rec, Col(m, "ModuleNo"), module);
        m->EditValue(rec, Col(m, "FW_CREDATE"), QDateTime::currentDateTime());
        if (withImage)
            QVERIFY(w.LoadImage(rec));
        QVERIFY(!w.SaveFirmware());
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, message);
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_FIRMWARE"), QStringList{"5"});
        QCOMPARE(m->State(rec), QString("I"));
    }

    // The maker list edited as a table; renaming a code leaves the firmware ids.
    void makerListSaves()
    {
        ScriptedMsgDlg boxes;
        TfrmVendorListDlg dlg(nullptr, false);
        dlg.show();
        QVERIFY(dlg.btnEditMode->isVisible());
        dlg.SetEditMode(true);
        TGridModel *m = dlg.Model();
        QCOMPARE(m->RecordCount(), 3);
        m->EditValue(2, TFormSimpleEditDlg::colID, 6);           // 5 -> 6
        m->EditValue(0, TFormSimpleEditDlg::colName, QString("첫째"));
        dlg.Grid()->FocusRecord(1);
        dlg.actDel->trigger();                                      // 3 goes
        dlg.actAdd->trigger();
        m->EditValue(3, TFormSimpleEditDlg::colID, 99);
        QVERIFY(dlg.SaveList());
        QCOMPARE(boxes.count(), 1); // no question, only the success box
        QCOMPARE(Column("SELECT CONCAT_WS(' ', MANUFACTURE_ID, IFNULL(MANUFACTURE_NAME, 'NULL')) FROM SCS_M_MANUFACTURE "
                        "ORDER BY MANUFACTURE_ID"),
                 QStringList({"1 첫째", "6 다섯", "99 NULL"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_FIRMWARE WHERE FLOOR(MOD(FW_ID, 10000) / 100) = 5"),
                 QStringList{"2"});
        QVERIFY(dlg.EditMode());
        // A duplicate code is refused.
        m->EditValue(0, TFormSimpleEditDlg::colID, 6);
        QVERIFY(!dlg.SaveList());
        QCOMPARE(boxes.last().text, QString("중복된 데이터가 존재합니다."));
    }

    void emptySelectAndViewOnly()
    {
        QVERIFY(EditorFixture::Exec("DELETE FROM SCS_M_MANUFACTURE"));
        ScriptedMsgDlg boxes;
        TfrmVendorListDlg dlg(nullptr, true);
        dlg.show();
        QVERIFY(!dlg.btnEditMode->isVisible());
        dlg.actSelect->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("제조사를 선택해주세요."));
        QCOMPARE(boxes.last().caption, QString("확인"));
        QVERIFY(dlg.isVisible());
    }
};

QTEST_MAIN(TestFirmwareInfo)
#include "tst_firmware_info.moc"
