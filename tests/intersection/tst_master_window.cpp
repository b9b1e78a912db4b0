// The intersection master list window and the firmware picker on the fixture
// database: opening by group and intersection, the cell rules of virtual rows,
// the checks and the renumbering question in boxes, the refresh flag only after
// a commit, a failure that keeps the grid's edits, and the firmware list per type.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"
#include "core/GridView.h"
#include "core/InAppMessage.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "intersection/untFirmwareDlg.h"
#include "intersection/untTCDV_E_Master.h"

using EditorFixture::Column;
using EditorFixture::Exec;

namespace {

const char *const kDb = "tst_master_window";

int Col(TGridModel *m, const char *name)
{
    return m->ColumnIndex(QString::fromLatin1(name));
}

int RecordOf(TGridModel *m, int lcNo)
{
    return m->FindText(Col(m, "INT_LCNO"), QString::number(lcNo));
}

// Runs `step` on the firmware picker once it is shown modally.
void OnPicker(std::function<void(TfrmFirmwareDlg *)> step)
{
    QTimer::singleShot(0, qApp, [step] {
        auto *dlg = qobject_cast<TfrmFirmwareDlg *>(QApplication::activeModalWidget());
        if (!dlg) {
            qWarning("no firmware picker shown");
            return;
        }
        step(dlg);
    });
}

int RecordOfFw(TfrmFirmwareDlg *dlg, int fwId)
{
    return dlg->Model()->FindText(dlg->Model()->ColumnIndex("FW_ID"), QString::number(fwId));
}

} // namespace

class TestMasterWindow : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb, false));
        QVERIFY(Exec("INSERT INTO SCS_M_MANUFACTURE (MANUFACTURE_ID, MANUFACTURE_NAME) VALUES (3, 'West Sea')"));
        QVERIFY(Exec("INSERT INTO SCS_M_FIRMWARE (FW_ID, FW_CREDATE, FW_VER_MAJOR, FW_VER_MINOR, FW_VER_MODULE, "
                     "FW_VER_REV) VALUES (10305, '2024-08-15 10:25:00', 4, 0, 0, 12), "
                     "(20305, '2024-08-16 10:00:00', 1, 2, 3, 4), (10999, '2024-08-17 10:00:00', 1, 0, 0, 1)"));
    }
    void cleanupTestCase() { FDb.Close(); }

    void init()
    {
        for (const char *t : {"SCS_M_INTLC", "SCS_M_SAOPERATE", "SCS_M_INTPHASE", "SCS_M_INTSIGMAP"})
            QVERIFY(Exec(QString("DELETE FROM ") + t));
        QVERIFY(Exec("INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (1, 'G1'), (2, 'G2')"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_NAME, INT_IMPORFLAG, INT_LCTYPE, INT_LAMPTYPE, "
                     "MCU_FW_ID, SCU_FW_ID, INT_DELTALIMIT, INT_TRANSCYCLE, INT_AUTOERROR, INT_AUTOONLINE, "
                     "INT_COMMTYPE, INT_IP, INT_PORT, MAIN_LCNO, INT_SANO, INT_SAINDEX, INT_REGFLAG) VALUES "
                     "(5, 'N5', 'Five', 0, 2, 0, 0, 20305, 3, 2, 1, 1, 0, '10.0.0.5', 5000, 0, 1, 1, 1), "
                     "(6, 'N6', 'Six', 0, 2, 1, NULL, NULL, 0, 0, 0, 0, 0, '10.0.0.6', 5000, 0, 1, 2, 1), "
                     "(9, 'N9', 'Nine', 1, 2, 0, NULL, NULL, 0, 0, 0, 0, 0, '10.0.0.9', 5000, 0, 2, 1, 1), "
                     "(41, 'N41', 'V41', 0, 2, 0, NULL, NULL, NULL, NULL, -1, -1, -1, '', 0, 9, 2, 2, 0)"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTSIGMAP (INT_LCNO, INT_PLANCLSS, INT_RING, INT_STEPNO) VALUES (5, 0, 1, 1)"));
        TInAppMessageHolder::instance()->Take();
    }

    void opensByGroupThenIntersection()
    {
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 2);
        QVERIFY(w.Searched());
        // A firmware identifier of 0 is an empty cell.
        QVERIFY(m->Value(RecordOf(m, 5), Col(m, "MCU_FW_ID")).isNull());
        QCOMPARE(m->Value(RecordOf(m, 5), Col(m, "SCU_FW_ID")).toInt(), 20305);
        // An intersection of another group switches the group and is focused.
        w.SetTcdvID(41);
        QCOMPARE(w.SA_ID(), 2);
        QCOMPARE(w.edtSA->text(), QString("2"));
        QCOMPARE(m->RecordCount(), 2);
        QCOMPARE(w.cxGrid->FocusedRecord(), RecordOf(m, 41));
        // "All" lists every intersection.
        w.cbxAllTCDV->setChecked(true);
        QCOMPARE(m->RecordCount(), 4);
        QVERIFY(!w.edtSA->isEnabled());
    }

    void cellRules()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(2);
        TGridModel *m = w.GridModel();
        const int v = RecordOf(m, 41), r9 = RecordOf(m, 9);
        auto editable = [&](int rec, const char *col) {
            return bool(m->flags(m->index(rec, Col(m, col))) & Qt::ItemIsEditable);
        };
        for (const char *col : {"INT_LCTYPE", "INT_LAMPTYPE", "MCU_FW_ID", "SCU_FW_ID", "INT_DELTALIMIT",
                                "INT_TRANSCYCLE", "INT_AUTOERROR", "INT_AUTOONLINE", "INT_COMMTYPE", "INT_IP",
                                "INT_PORT", "INT_REGFLAG"}) {
            QVERIFY2(!editable(v, col), col);
            QVERIFY2(editable(r9, col), col);
        }
        QVERIFY(editable(v, "INT_NAME"));
        QVERIFY(editable(v, "MAIN_LCNO"));
        // "2004" gives four lamps, which can then not be changed.
        QVERIFY(m->setData(m->index(r9, Col(m, "INT_LCTYPE")), 1));
        QCOMPARE(m->Value(r9, Col(m, "INT_LAMPTYPE")).toInt(), 1);
        QVERIFY(!editable(r9, "INT_LAMPTYPE"));
        // Naming a main intersection takes the row out of use.
        const int r = m->AppendRecord();
        QVERIFY(m->setData(m->index(r, Col(m, "INT_REGFLAG")), 1));
        QVERIFY(m->setData(m->index(r, Col(m, "MAIN_LCNO")), 9));
        QCOMPARE(m->Value(r, Col(m, "INT_REGFLAG")).toInt(), 0);
        // A group that is not registered is refused with its message.
        QVERIFY(!m->setData(m->index(r9, Col(m, "INT_SANO")), 7));
        QCOMPARE(m->Value(r9, Col(m, "INT_SANO")).toInt(), 2);
        QVERIFY(boxes.last().text.startsWith("존재하지 않는 그룹번호입니다."));
        QVERIFY(m->setData(m->index(r9, Col(m, "INT_SANO")), 1));
        QCOMPARE(m->Value(r9, Col(m, "INT_SANO")).toInt(), 1);
    }

    // The address cell takes a dotted IPv4 address with parts 0 to 255, or nothing.
    void ipAddressCell_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("address") << "10.0.0.1" << "10.0.0.1";
        QTest::newRow("highest parts") << "255.255.255.255" << "255.255.255.255";
        QTest::newRow("part above 255") << "256.1.1.1" << "10.0.0.9";
        QTest::newRow("three parts") << "10.0.0" << "10.0.0.9";
        QTest::newRow("a device name") << "COM1" << "10.0.0.9";
        QTest::newRow("emptied") << "" << "";
    }
    void ipAddressCell()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(2);
        TGridModel *m = w.GridModel();
        const int r9 = RecordOf(m, 9), ip = Col(m, "INT_IP");
        QAbstractItemDelegate *d = w.cxGrid->itemDelegateForColumn(ip);
        QVERIFY(d);
        std::unique_ptr<QWidget> editor(d->createEditor(w.cxGrid, QStyleOptionViewItem(), m->index(r9, ip)));
        auto *line = qobject_cast<QLineEdit *>(editor.get());
        QVERIFY(line);
        line->setText(typed);
        d->setModelData(line, m, m->index(r9, ip));
        QCOMPARE(m->Text(r9, ip), stored);
        // Use: a check box cell.
        QCOMPARE(w.cxGrid->DisplayText(r9, Col(m, "INT_REGFLAG")), QString("Y"));
    }

    void checksShowTheirBox_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<QString>("text");
        QTest::newRow("1025") << 1025 << "입력 가능한 교차로 번호 최대값을 초과하였습니다.";
        QTest::newRow("held by another group") << 9 << "중복된 데이터가 존재합니다.";
    }
    void checksShowTheirBox()
    {
        QFETCH(int, lc);
        QFETCH(QString, text);
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        w.actAdd->trigger();
        const int r = m->RecordCount() - 1;
        m->EditValue(r, Col(m, "INT_LCNO"), lc);
        m->EditValue(r, Col(m, "NODE_ID"), "NEW");
        m->EditValue(r, Col(m, "INT_SANO"), 1);
        boxes.enqueue(mrYes);
        QVERIFY(!w.SaveMaster());
        QCOMPARE(boxes.last().text, text);
        QCOMPARE(boxes.last().caption, QString("유효성 체크"));
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(w.cxGrid->FocusedRecord(), r);
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC"), QStringList({"4"}));
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_TCDV_MASTER);
    }

    void renumberingAsksAndRaisesTheFlag()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        m->EditValue(RecordOf(m, 5), Col(m, "INT_LCNO"), 7);
        // No to the renumbering question: nothing is written, the edit stays.
        boxes.enqueue({mrYes, mrNo});
        QVERIFY(!w.SaveMaster());
        QCOMPARE(boxes.last().caption, QString("LC번호 변경"));
        QCOMPARE(boxes.last().kind, mkQuestion);
        QCOMPARE(Column("SELECT INT_LCNO FROM SCS_M_INTSIGMAP"), QStringList({"5"}));
        QCOMPARE(m->State(RecordOf(m, 7)), QString("M"));
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_TCDV_MASTER);
        // Yes: written, reloaded, the main window is told.
        boxes.enqueue({mrYes, mrYes});
        QVERIFY(w.SaveMaster());
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT INT_LCNO FROM SCS_M_INTSIGMAP"), QStringList({"7"}));
        QCOMPARE(m->State(RecordOf(m, 7)), QString("N"));
        QCOMPARE(m->KeyValue(RecordOf(m, 7)).toString(), QString("7"));
        QVERIFY(TInAppMessageHolder::instance()->Flags().REFRESH_TCDV_MASTER);
    }

    // After a save the focus goes to the row of the number the last saved row holds
    // now: a renumbered row that moves down the list is followed, not left at the
    // position it had.
    void focusFollowsTheRenumberedRow()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        QCOMPARE(w.cxGrid->DisplayOfRecord(RecordOf(m, 5)), 0);
        // 5 becomes 7 and moves behind 6 (group order 3 after 2).
        m->EditValue(RecordOf(m, 5), Col(m, "INT_LCNO"), 7);
        m->EditValue(RecordOf(m, 7), Col(m, "INT_SAINDEX"), 3);
        w.cxGrid->FocusRecord(RecordOf(m, 7));
        boxes.enqueue({mrYes, mrYes});
        QVERIFY(w.SaveMaster());
        QCOMPARE(Column("SELECT INT_LCNO FROM SCS_M_INTLC WHERE INT_SANO = 1 ORDER BY INT_SAINDEX"),
                 QStringList({"6", "7"}));
        QCOMPARE(w.cxGrid->DisplayOfRecord(RecordOf(m, 7)), 1);
        QCOMPARE(w.cxGrid->FocusedRecord(), RecordOf(m, 7));

        // A deleted last row leaves the focus at the position it had (the last row here).
        w.cxGrid->FocusRecord(RecordOf(m, 7));
        w.Controller()->DeleteRecord();
        boxes.enqueue({mrYes});
        QVERIFY(w.SaveMaster());
        QCOMPARE(m->RecordCount(), 1);
        QCOMPARE(w.cxGrid->FocusedRecord(), RecordOf(m, 6));
    }

    // The window shows every column; in English it is ten pixels wider, also when the
    // language changes while it is open.
    void englishWidth()
    {
        auto *lang = TsiLangDispatcher::instance();
        lang->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        TfrmTCDV_E_Master korean;
        TGridModel *m = korean.GridModel();
        int shown = 0;
        QStringList visible;
        for (int c = 0; c < m->ColumnCount(); ++c)
            if (m->Column(c).Visible) {
                shown += m->Column(c).Width;
                visible << m->Column(c).Name;
            }
        QVERIFY(visible.contains("MAIN_LCNO"));
        QCOMPARE(visible.size(), 19);
        QVERIFY(korean.width() > shown);
        const int koreanWidth = korean.width();

        lang->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        TfrmTCDV_E_Master english;
        const int englishWidth = english.width();
        // The open Korean window widens with the language.
        const int switched = korean.width();
        lang->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QCOMPARE(englishWidth, koreanWidth + 10);
        QCOMPARE(switched, koreanWidth + 10);
        QCOMPARE(korean.width(), koreanWidth);
        QCOMPARE(english.width(), koreanWidth);
    }

    void aFailedSaveKeepsTheEdits()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        m->EditValue(RecordOf(m, 6), Col(m, "INT_NAME"), "edited");
        m->EditValue(RecordOf(m, 5), Col(m, "INT_LCNO"), 7);
        QVERIFY(Exec("CREATE TRIGGER MW_FAIL BEFORE UPDATE ON SCS_M_INTSIGMAP FOR EACH ROW "
                     "BEGIN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'injected failure'; END"));
        boxes.enqueue({mrYes, mrYes});
        const bool saved = w.SaveMaster();
        QVERIFY(Exec("DROP TRIGGER MW_FAIL"));
        QVERIFY(!saved);
        QCOMPARE(boxes.last().caption, QString("저장 실패"));
        QVERIFY(boxes.last().detail.contains("injected failure"));
        QCOMPARE(Column("SELECT CONCAT(INT_LCNO, ':', INT_NAME) FROM SCS_M_INTLC WHERE INT_SANO = 1 ORDER BY INT_LCNO"),
                 QStringList({"5:Five", "6:Six"}));
        QCOMPARE(Column("SELECT INT_LCNO FROM SCS_M_INTSIGMAP"), QStringList({"5"}));
        QCOMPARE(m->Text(RecordOf(m, 6), Col(m, "INT_NAME")), QString("edited"));
        QCOMPARE(m->State(RecordOf(m, 7)), QString("M"));
        QVERIFY(w.Edited());
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_TCDV_MASTER);
    }

    void firmwareCellTakesThePickersChoice()
    {
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        const int r = RecordOf(m, 5);
        OnPicker([](TfrmFirmwareDlg *dlg) {
            dlg->Grid()->FocusRecord(RecordOfFw(dlg, 10305));
            dlg->actSelect->trigger();
        });
        w.CellButtonClick(r, "MCU_FW_ID");
        QCOMPARE(m->Value(r, Col(m, "MCU_FW_ID")).toInt(), 10305);
        QCOMPARE(m->State(r), QString("M"));
        // Close leaves the cell as it is.
        OnPicker([](TfrmFirmwareDlg *dlg) { dlg->actClose->trigger(); });
        w.CellButtonClick(r, "SCU_FW_ID");
        QCOMPARE(m->Value(r, Col(m, "SCU_FW_ID")).toInt(), 20305);
    }

    // The main-intersection lookup needs the row's own number first.
    void mainLookupWithoutANumber()
    {
        ScriptedMsgDlg boxes;
        TfrmTCDV_E_Master w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        w.actAdd->trigger();
        const int r = m->RecordCount() - 1;
        w.CellButtonClick(r, "MAIN_LCNO");
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("LC번호를 확인바랍니다."));
        QCOMPARE(boxes.last().caption, QString("유효성 체크"));
        QCOMPARE(w.cxGrid->FocusedRecord(), r);
        QCOMPARE(w.cxGrid->FocusedColumn(), Col(m, "INT_LCNO"));
        QVERIFY(m->Value(r, Col(m, "MAIN_LCNO")).isNull());
    }

    // Rows of the picker: FW_ID, vendor code, vendor name, module number.
    void firmwareListPerType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("MCU") << 1 << QStringList({"10305|3|West Sea|5", "10999|9||99"});
        QTest::newRow("SCU") << 2 << QStringList({"20305|3|West Sea|5"});
        QTest::newRow("no such type") << 3 << QStringList();
    }
    void firmwareListPerType()
    {
        QFETCH(int, type);
        QFETCH(QStringList, rows);
        TfrmFirmwareDlg dlg;
        dlg.FFWType = type;
        dlg.LoadList();
        QStringList got;
        TGridModel *m = dlg.Model();
        for (int rec = 0; rec < m->RecordCount(); ++rec)
            got << QStringList({m->Text(rec, m->ColumnIndex("FW_ID")), m->Text(rec, m->ColumnIndex("VendorCD")),
                                m->Text(rec, m->ColumnIndex("VendorNM")), m->Text(rec, m->ColumnIndex("ModuleNo"))})
                       .join('|');
        QCOMPARE(got, rows);
    }

    void selectOnAnEmptyListAsks()
    {
        ScriptedMsgDlg boxes;
        TfrmFirmwareDlg dlg;
        dlg.FFWType = 3;
        dlg.LoadList();
        dlg.actSelect->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("데이터를 선택해주세요."));
        QCOMPARE(boxes.last().kind, mkInformation);
        QCOMPARE(dlg.result(), 0);
    }

    void oracleJoinComparesTheVendorAsText()
    {
        QCOMPARE(Firmware::ListSql(dtOracle),
                 QString("SELECT F.FW_ID, F.FW_CREDATE, F.FW_VER_MAJOR, F.FW_VER_MINOR, F.FW_VER_MODULE, F.FW_VER_REV, "
                         "M.MANUFACTURE_NAME FROM SCS_M_FIRMWARE F LEFT JOIN SCS_M_MANUFACTURE M ON M.MANUFACTURE_ID = "
                         "TO_CHAR(FLOOR(MOD(CAST(F.FW_ID AS INTEGER), 10000) / 100))  WHERE FW_ID LIKE :FW_ID "
                         "ORDER BY FW_ID"));
    }
};

QTEST_MAIN(TestMasterWindow)
#include "tst_master_window.moc"
