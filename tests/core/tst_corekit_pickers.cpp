// Look-ups, number edits, the pickers driven as an operator drives them, and the
// operator account editor, on the demo city.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "CoreKitSupport.h"
#include "core/FileDialogService.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untLink_S.h"
#include "core/untSA_S.h"
#include "core/untTCDV_S.h"
#include "core/untTCDV_S_Phase.h"
#include "core/untTFDT_S.h"
#include "core/untUSER_E.h"
#include "core/untUSER_S.h"

namespace {

const char *const kDb = "tst_corekit_pickers";

QVariant Scalar(const QString &sql)
{
    QSqlQuery q(DM->Con());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

QStringList Column(TfrmPickerBase &p, const QString &field)
{
    QStringList list;
    const int col = p.Model()->ColumnIndex(field);
    for (int rec : p.Grid()->DisplayedRecords())
        list << p.Model()->Text(rec, col);
    return list;
}

void Type(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // keyClicks sends one key per character; characters outside Latin-1 go in as text.
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::KeyAction::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestCoreKitPickers : public QObject
{
    Q_OBJECT
    std::unique_ptr<CoreKit::TDataModule> FDm;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        QString err;
        QVERIFY2(TestDb::runScript(kDb,
            "INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_NAME, INT_IMPORFLAG, INT_LCTYPE, INT_LAMPTYPE, MAIN_LCNO, INT_SANO, INT_SAINDEX, INT_REGFLAG) VALUES "
            "(900, NULL, 'O''Brien [A] 50%_x', 1, 2, 0, 0, 4, 99, 1),"
            "(901, NULL, '가상교차로', 0, 2, 1, 2, 4, 98, 1),"
            "(902, NULL, NULL, 0, 3, 0, 0, 4, 97, 0),"
            "(903, NULL, '그룹없음', 0, 2, 1, 0, NULL, NULL, 1);"
            "INSERT INTO SCS_M_NODE (NODE_ID, NODE_NAME, NODE_LAT, NODE_LNG) VALUES ('1229999999', '외딴 노드', 37.5, 127.0);"
            "INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (99, '빈 그룹');"
            "INSERT INTO SCS_M_TFDT (TFDT_ID, TFDT_NAME, TFDT_LAT, TFDT_LNG) VALUES ('9', 'Det''s [1] 50%', 37.1, 127.1);",
            &err), qPrintable(err));
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
        FDm = std::make_unique<CoreKit::TDataModule>(kDb);
        QVERIFY(FDm->ok);
        TsiLangDispatcher::instance()->SetActiveLanguage(1);
    }
    void cleanupTestCase()
    {
        FDm.reset();
        ResetPasswordKey();
    }

    // --- look-ups -----------------------------------------------------------------------

    void lookups()
    {
        QCOMPARE(GetLcName(0), QString("없음"));
        QCOMPARE(GetLcName(4711), QString("없음"));
        QCOMPARE(GetLcName(1), QString("신사역사거리"));
        QCOMPARE(GetLcName(902), QString("902"));
        QCOMPARE(GetLcType(0), 1);
        QCOMPARE(GetLcType(3), 1);
        QCOMPARE(GetLcType(1), 2);
        QVERIFY(IsLc2010(0));
        QVERIFY(!IsLc2010(3));
        QVERIFY(IsLc2010(902)); // type 3: the 2010 layout for IsLc2010 ...
        QCOMPARE(GetLcTypeEx(902), lct2004); // ... and 2004 for GetLcTypeEx
        QCOMPARE(GetLcTypeEx(0), lct2004);
        QCOMPARE(GetLcTypeEx(1), lct2010_4L);
        QCOMPARE(GetLcTypeEx(2), lct2010_3L);
        QCOMPARE(GetLcTypeEx(901), lct2010_3L); // virtual: the main intersection's lamps
        QCOMPARE(GetLcImporFlag(1), 1);
        QCOMPARE(GetLcImporFlag(0), 0);
        QCOMPARE(GetSaName(1), QString("도산대로 축"));
        QCOMPARE(GetSaName(0), QString("없음"));
        QCOMPARE(GetLcSaName(1), QString("도산대로 축"));
        QCOMPARE(GetLcSaName(903), QString());
        QCOMPARE(GetLcSaNo(12), 2);
        QCOMPARE(GetLcSaNo(903), 0);
        TsiLangDispatcher::instance()->SetActiveLanguage(2);
        QCOMPARE(GetLcName(0), QString("None"));
        TsiLangDispatcher::instance()->SetActiveLanguage(1);
    }

    void numberEdit()
    {
        QLineEdit edit;
        QLabel name, group;
        int applied = -1, after = 0;
        InstallIdEditKeys(&edit, IdEditKindLc, &name, &group, [&](int n) { applied = n; }, [&] { ++after; });
        edit.show();
        QTest::keyClick(&edit, Qt::Key_Up);          // empty edit: 1 and its names
        QCOMPARE(edit.text(), QString("1"));
        QCOMPARE(name.text(), QString("신사역사거리"));
        QCOMPARE(group.text(), QString("도산대로 축"));
        edit.setText("0");
        QTest::keyClick(&edit, Qt::Key_Down);
        QCOMPARE(edit.text(), QString("0"));
        QTest::keyClicks(&edit, "a");                // letters are swallowed
        QCOMPARE(edit.text(), QString("0"));
        QTest::keyClicks(&edit, "12");
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(applied, 12);
        QCOMPARE(after, 1);
        edit.setText("1.5");
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(applied, 0);
        QLineEdit sa;
        QLabel saName;
        InstallIdEditKeys(&sa, IdEditKindSa, &saName, nullptr, [](int) {});
        sa.setText("1");
        QTest::keyClick(&sa, Qt::Key_Up);
        QCOMPARE(saName.text(), QString("테헤란로 축"));
    }

    // --- intersection picker ---------------------------------------------------------------

    void intersectionPickerSearches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("number as four digits") << "0012" << QStringList{"0012"};
        QTest::newRow("number not compared as 12") << "12" << QStringList{};
        QTest::newRow("name part") << "청담" << QStringList{"0005", "0010"};
        QTest::newRow("quote") << "O'Brien" << QStringList{"0900"};
        QTest::newRow("bracket") << "[A]" << QStringList{"0900"};
        QTest::newRow("percent taken literally") << "50%_" << QStringList{"0900"};
        QTest::newRow("lone percent") << "%" << QStringList{"0900"};
        QTest::newRow("lone quote") << "'" << QStringList{"0900"};
        QTest::newRow("nothing") << "없는이름" << QStringList{};
    }
    void intersectionPickerSearches()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        ScriptedMsgDlg boxes;
        TfrmTCDV_S p;
        p.setWindowTitle(DM->T_TcdvSTitle);
        p.chxOnlySgnl->setChecked(true);
        p.show();
        QCOMPARE(p.lblSearch->text(), QString("LC번호/교차로명"));
        QCOMPARE(p.RowCount(), Scalar("SELECT COUNT(*) FROM SCS_M_INTLC").toInt());
        Type(p.edtSearch, text);
        QVERIFY(!p.Searched());
        QTest::keyClick(p.edtSearch, Qt::Key_Return);
        QVERIFY(p.Searched());
        QCOMPARE(Column(p, "INT_LCNO"), numbers);
        QCOMPARE(boxes.count(), 0);
        QVERIFY(p.actExport->isEnabled() == !numbers.isEmpty());
        if (numbers.isEmpty())
            return;
        QTest::keyClick(p.edtSearch, Qt::Key_Return); // searched already: into the grid
        QCOMPARE(p.focusWidget(), static_cast<QWidget *>(p.Grid()));
        QTest::keyClick(p.Grid(), Qt::Key_Return);
        QCOMPARE(p.result(), 1);
        QCOMPARE(p.qryTCDVINT_LCNO().toString(), numbers.first());
        QCOMPARE(p.qryTCDVINT_LCNO().toInt(), numbers.first().toInt());
    }

    void intersectionPickerOptions()
    {
        TfrmTCDV_S p;
        p.chxOnlySgnl->setChecked(true);
        p.FTCDV_ID = 7;
        p.show();
        QCOMPARE(p.qryTCDVINT_LCNO().toString(), QString("0007"));
        QCOMPARE(p.qryTCDVINT_SANO().toString(), QString("0001"));
        QCOMPARE(p.qryTCDVNODE_ID().toString(), QString("1220000007"));
        QCOMPARE(p.qryTCDVINT_IMPORFLAG().toString(), QString("MI"));
        // Rows of even groups take the even style.
        const int rec12 = p.Model()->FindText(p.Model()->ColumnIndex("INT_LCNO"), "0012");
        const int rec1 = p.Model()->FindText(p.Model()->ColumnIndex("INT_LCNO"), "0001");
        QCOMPARE(p.Model()->index(rec12, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(237, 237, 237));
        QVERIFY(!p.Model()->index(rec1, 2).data(Qt::BackgroundRole).isValid());
        // Every node, with or without intersection, when the box is cleared.
        p.chxOnlySgnl->click();
        QVERIFY(!p.chxOnlySgnl->isChecked());
        const int lone = p.Model()->FindText(p.Model()->ColumnIndex("NODE_ID"), "1229999999");
        QVERIFY(lone >= 0);
        QVERIFY(p.Model()->Text(lone, p.Model()->ColumnIndex("INT_LCNO")).isEmpty());
        QVERIFY(p.Model()->FindText(p.Model()->ColumnIndex("INT_LCNO"), "0900") < 0); // no node
        p.actClose->trigger();
        QCOMPARE(p.result(), 2);
    }

    void nodePicker()
    {
        TfrmTCDV_S p;
        p.SetSearchMode(smNode);
        p.show();
        QCOMPARE(p.lblSearch->text(), QString("노드ID/노드명"));
        QVERIFY(p.Grid()->isColumnHidden(p.Model()->ColumnIndex("INT_NAME")));
        Type(p.edtSearch, "1229999999");
        QTest::keyClick(p.edtSearch, Qt::Key_Return);
        QCOMPARE(Column(p, "NODE_ID"), QStringList{"1229999999"});
        Type(p.edtSearch, "외딴");
        QTest::keyClick(p.edtSearch, Qt::Key_Return);
        QCOMPARE(Column(p, "NODE_ID"), QStringList{"1229999999"});
        p.actSelect->trigger();
        QCOMPARE(p.result(), 1);
        QCOMPARE(p.qryTCDVNODE_ID().toString(), QString("1229999999"));
    }

    // --- group picker ---------------------------------------------------------------------

    void groupPicker()
    {
        TfrmSA_S p;
        p.setWindowTitle(DM->T_SaSTitle);
        p.show();
        QCOMPARE(Column(p, "SA_NO"), QStringList({"1", "2", "3", "4", "99"}));
        const QString members1 = p.Model()->Text(0, 2);
        QVERIFY2(members1.startsWith("1.신사역사거리(CI) - 2.을지병원사거리 - 3.도산공원사거리"), qPrintable(members1));
        QCOMPARE(p.Model()->Text(4, 2), QString("없음"));
        QCOMPARE(p.SA_ID(), 1);
        QTest::keyClick(p.Grid(), Qt::Key_Down);
        QCOMPARE(p.SA_ID(), 2);
        QTest::keyClick(p.Grid(), Qt::Key_Return);
        QCOMPARE(p.result(), 1);
        QCOMPARE(p.SA_ID(), 2);
        QCOMPARE(TfrmSA_S::MemberText(5, "x", 1, "없음"), QString("5.x(CI)"));
        QCOMPARE(TfrmSA_S::MemberText(QVariant(), QVariant(), QVariant(), "없음"), QString("없음"));
    }

    // --- phase picker -----------------------------------------------------------------------

    void phasePicker()
    {
        TfrmTCDV_S_Phase p;
        p.SetTCDV_ID(1);
        QCOMPARE(p.lblTCDVName->text(), QString("신사역사거리"));
        p.show();
        QCOMPARE(p.cbxPlanClss->count(), 7); // 2010 type: GMAP, EMAP #1..#5, pedestrian
        QCOMPARE(p.cbxPlanClss->itemText(0), QString("일반제"));
        QCOMPARE(p.cbxPlanClss->itemText(2), QString("시차제#2"));
        QCOMPARE(p.PLAN_CLSS(), 1);
        const int rows = Scalar("SELECT COUNT(*) FROM SCS_M_INTPHASE WHERE INT_LCNO = 1 AND INT_PLANCLSS = 1").toInt();
        QVERIFY(rows > 0);
        QCOMPARE(p.RowCount(), rows);
        QVERIFY(p.actSelect->isEnabled());
        // The ring column shows A/B, the picture column follows the movement number.
        QCOMPARE(p.Model()->index(0, p.Model()->ColumnIndex("INT_RING")).data().toString(), QString("A링"));
        const int flow = p.Model()->Value(0, p.Model()->ColumnIndex("INT_FLOWNUMBER")).toInt();
        QCOMPARE(p.Model()->Value(0, p.Model()->ColumnIndex("MOVE_FLOW")).toInt(), MvmtPictureIndex(flow));
        p.SetINT_RING(2);
        QCOMPARE(p.RowCount(), rows / 2);
        for (const QString &r : Column(p, "INT_RING"))
            QCOMPARE(r, QString("2"));
        p.Grid()->FocusDisplayRow(1);
        QTest::keyClick(p.Grid(), Qt::Key_Return);
        QCOMPARE(p.result(), 1);
        QCOMPARE(p.mmPhaseListINT_PHASENO().toInt(),
                 Scalar("SELECT INT_PHASENO FROM SCS_M_INTPHASE WHERE INT_LCNO = 1 AND INT_PLANCLSS = 1 AND INT_RING = 2 "
                        "ORDER BY INT_PHASENO LIMIT 1 OFFSET 1").toInt());

        TfrmTCDV_S_Phase q;
        q.SetTCDV_ID(3);
        q.show();
        QCOMPARE(q.cbxPlanClss->count(), 2); // 2004 type
        QCOMPARE(q.cbxPlanClss->itemText(1), QString("시차제"));

        TfrmTCDV_S_Phase none;
        none.SetTCDV_ID(903);
        none.show();
        QCOMPARE(none.RowCount(), 0);
        QVERIFY(!none.actSelect->isEnabled());
    }

    // --- detector and link pickers --------------------------------------------------------

    void detectorPicker()
    {
        TfrmTFDT_S p;
        p.setWindowTitle(DM->T_TfdtSTitle);
        p.show();
        const int all = Scalar("SELECT COUNT(*) FROM SCS_M_TFDT").toInt();
        QCOMPARE(p.RowCount(), all);
        QCOMPARE(p.Model()->Text(0, 0), QString("9")); // numeric order of the text identifiers
        QCOMPARE(p.lblSearch->text(), QString("검지기 ID/검지기명"));
        Type(p.edtSearch, "Det's [1] 50%");
        QTest::keyClick(p.edtSearch, Qt::Key_Return);
        QCOMPARE(Column(p, "TFDT_ID"), QStringList{"9"});
        QTest::keyClick(p.edtSearch, Qt::Key_Return);   // filtered already: into the grid
        QCOMPARE(p.focusWidget(), static_cast<QWidget *>(p.Grid()));
        Type(p.edtSearch, "신사역사거리 남측");
        QVERIFY(!p.Searched());
        QTest::keyClick(p.edtSearch, Qt::Key_Return);   // filters again
        QCOMPARE(p.RowCount(), 3);
        QTest::keyClick(p.edtSearch, Qt::Key_Down);
        QCOMPARE(p.focusWidget(), static_cast<QWidget *>(p.Grid()));
        QTest::keyClick(p.Grid(), Qt::Key_Down);
        QTest::keyClick(p.Grid(), Qt::Key_Return);
        QCOMPARE(p.result(), 1);
        QCOMPARE(p.qryTFDTListTFDT_ID().toString(), QString("1223000008"));
    }

    void linkPicker()
    {
        TfrmLink_S p;
        p.show();
        QCOMPARE(p.RowCount(), Scalar("SELECT COUNT(*) FROM SCS_M_LINK").toInt());
        Type(p.edtSearch, "1220000003");
        QTest::keyClick(p.edtSearch, Qt::Key_Return);
        const int expected = Scalar("SELECT COUNT(*) FROM SCS_M_LINK WHERE LINK_ID LIKE '%1220000003%' OR "
                                    "NODE_FID LIKE '%1220000003%' OR NODE_TID LIKE '%1220000003%'").toInt();
        QCOMPARE(p.RowCount(), expected);
        for (int rec : p.Grid()->DisplayedRecords())
            QVERIFY(p.Model()->Text(rec, 1) == "1220000003" || p.Model()->Text(rec, 2) == "1220000003");
        p.actSelect->trigger();
        QCOMPARE(p.result(), 1);
        QVERIFY(!p.qryLinkListLINK_ID().toString().isEmpty());
    }

    // --- operator picker --------------------------------------------------------------------

    void operatorPicker()
    {
        TfrmUSER_S p;
        p.setWindowTitle(DM->T_UserSTitle);
        QCOMPARE(p.windowTitle(), QString("사용자 목록"));
        p.show();
        QCOMPARE(Column(p, "USER_ID"), QStringList({"admin", "manager", "operator", "police"}));
        QStringList grades;
        for (int rec = 0; rec < p.Model()->RecordCount(); ++rec)
            grades << p.Model()->index(rec, 0).data().toString();
        QCOMPARE(grades, QStringList({"메인관리자", "관리자", "운영자", "경찰서"}));
        QCOMPARE(p.Model()->ColumnIndex("USER_PW"), -1); // passwords are not read at all
        p.Grid()->FocusDisplayRow(2);
        p.actSelect->trigger();
        QCOMPARE(p.mmUSERListUSER_ID().toString(), QString("operator"));
    }

    // --- database errors inside a picker --------------------------------------------------

    void pickerDatabaseErrorShowsBox_data()
    {
        QTest::addColumn<QString>("picker");
        QTest::addColumn<QString>("table");   // taken away while the picker loads
        QTest::newRow("intersection") << "TCDV" << "SCS_M_INTLC";
        QTest::newRow("node") << "Node" << "SCS_M_NODE";
        QTest::newRow("group") << "SA" << "SCS_M_SAOPERATE";
        QTest::newRow("phase") << "Phase" << "SCS_M_INTPHASE";
        QTest::newRow("detector") << "TFDT" << "SCS_M_TFDT";
        QTest::newRow("link") << "Link" << "SCS_M_LINK";
        QTest::newRow("operator") << "USER" << "SCS_M_USER";
    }
    void pickerDatabaseErrorShowsBox()
    {
        QFETCH(QString, picker);
        QFETCH(QString, table);
        std::unique_ptr<TfrmPickerBase> p;
        if (picker == "TCDV" || picker == "Node") {
            auto *t = new TfrmTCDV_S;
            if (picker == "Node")
                t->SetSearchMode(smNode);
            p.reset(t);
        } else if (picker == "SA") {
            p.reset(new TfrmSA_S);
        } else if (picker == "Phase") {
            auto *t = new TfrmTCDV_S_Phase;
            t->SetTCDV_ID(1);
            p.reset(t);
        } else if (picker == "TFDT") {
            p.reset(new TfrmTFDT_S);
        } else if (picker == "Link") {
            p.reset(new TfrmLink_S);
        } else {
            p.reset(new TfrmUSER_S);
        }
        ScriptedMsgDlg boxes;
        QSqlQuery q(DM->Con());
        QVERIFY2(q.exec(QString("RENAME TABLE %1 TO %1_AWAY").arg(table)), qPrintable(q.lastError().text()));
        struct Restore {
            QString table;
            ~Restore() { QSqlQuery(DM->Con()).exec(QString("RENAME TABLE %1_AWAY TO %1").arg(table)); }
        } restore{table};
        p->show();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("처리중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("쿼리 실패"));
        QVERIFY(!boxes.last().detail.isEmpty());
        QCOMPARE(p->RowCount(), 0);
        // The picker stays usable and closes as usual.
        p->actClose->trigger();
        QCOMPARE(p->result(), 2);
    }

    void linkPickerSearchTextsArePlain_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << "12'20";
        QTest::newRow("bracket") << "[1220]";
        QTest::newRow("percent") << "%";
        QTest::newRow("underscore") << "_";
    }
    void linkPickerSearchTextsArePlain()
    {
        QFETCH(QString, text);
        ScriptedMsgDlg boxes;
        TfrmLink_S p;
        p.show();
        Type(p.edtSearch, text);
        QTest::keyClick(p.edtSearch, Qt::Key_Return);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(p.RowCount(), 0); // link and node identifiers are digits only
    }

    // --- operator accounts --------------------------------------------------------------

    void accountEditorLoads()
    {
        TfrmUSER_E e;
        e.show();
        QStringList ids;
        for (int r = 0; r < e.Model()->RecordCount(); ++r)
            ids << e.Model()->Text(r, TfrmUSER_E::colUSER_ID);
        QCOMPARE(ids, QStringList({"admin", "manager", "operator", "police"}));
        const QString stored = Scalar("SELECT USER_PW FROM SCS_M_USER WHERE USER_ID = 'operator'").toString();
        QCOMPARE(e.Model()->Text(2, TfrmUSER_E::colUSER_PW), Decrypt("operator", stored));
        QCOMPARE(e.Model()->Text(2, TfrmUSER_E::colTMP_USER_PW), Decrypt("operator", stored));
        // Shown as bullets, and the grade by its name.
        QVERIFY(!e.gtvUSER->DisplayText(2, TfrmUSER_E::colUSER_PW).contains(Decrypt("operator", stored)));
        QCOMPARE(e.gtvUSER->DisplayText(1, TfrmUSER_E::colAUT_GRADE), QString("관리자"));
        QCOMPARE(e.gtvUSER->DisplayText(0, TfrmUSER_E::colUSER_CHECK), QString("3 월"));
        QVERIFY(!e.actSave->isEnabled());
        QVERIFY(e.actExport->isEnabled());
    }

    void accountEditorRefusals()
    {
        ScriptedMsgDlg boxes;
        TfrmUSER_E e;
        e.SetLoginGrade(3); // a manager
        e.show();
        // The admin row's cells cannot be opened at all.
        const QModelIndex adminName = e.gtvUSER->model()->index(e.gtvUSER->DisplayOfRecord(0), TfrmUSER_E::colUSER_NAME);
        QVERIFY(!(e.gtvUSER->model()->flags(adminName) & Qt::ItemIsEditable));
        // Another operator's row may be edited, but not made an administrator.
        e.Model()->EditValue(2, TfrmUSER_E::colAUT_GRADE, 1);
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("메인관리자 ID를 생성할 권한이 없습니다."));
        QCOMPARE(boxes.last().caption, QString("유효성 체크"));
        QCOMPARE(Scalar("SELECT AUT_GRADE FROM SCS_M_USER WHERE USER_ID = 'operator'").toInt(), 2);

        // A duplicate identifier, in a new row.
        TfrmUSER_E d;
        d.SetLoginGrade(1);
        d.show();
        d.actAdd->trigger();
        const int rec = d.Model()->RecordCount() - 1;
        d.Model()->EditValue(rec, TfrmUSER_E::colUSER_ID, "operator");
        d.Model()->EditValue(rec, TfrmUSER_E::colUSER_PW, "pw");
        d.Model()->EditValue(rec, TfrmUSER_E::colAUT_GRADE, 2);
        boxes.clear();
        boxes.enqueue(mrYes);
        d.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("운영자ID가 중복됐습니다."));
        QCOMPARE(d.gtvUSER->FocusedColumn(), int(TfrmUSER_E::colUSER_ID));
        // An empty password in a changed row.
        d.Model()->EditValue(rec, TfrmUSER_E::colUSER_ID, "newbie");
        d.Model()->EditValue(rec, TfrmUSER_E::colUSER_PW, QVariant());
        boxes.clear();
        boxes.enqueue(mrYes);
        d.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("필수 입력 항목을 확인바랍니다."));
        QCOMPARE(Scalar("SELECT COUNT(*) FROM SCS_M_USER").toInt(), 4);
    }

    void accountEditorSaves()
    {
        ScriptedMsgDlg boxes;
        const QDateTime before = Scalar("SELECT USER_UPDATE FROM SCS_M_USER WHERE USER_ID = 'operator'").toDateTime();
        QTest::qWait(1100);
        TfrmUSER_E e;
        e.SetLoginGrade(1);
        e.show();
        // Only the name: the password date stays.
        e.Model()->EditValue(2, TfrmUSER_E::colUSER_NAME, "이서연2");
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Scalar("SELECT USER_NAME FROM SCS_M_USER WHERE USER_ID = 'operator'").toString(), QString("이서연2"));
        QCOMPARE(Scalar("SELECT USER_UPDATE FROM SCS_M_USER WHERE USER_ID = 'operator'").toDateTime(), before);
        QCOMPARE(e.Model()->Text(e.gtvUSER->FocusedRecord(), TfrmUSER_E::colUSER_ID), QString("operator"));

        // The password: stored enciphered, deciphers to the typed text, date renewed.
        const int op = e.Model()->FindKeyValue("operator");
        e.Model()->EditValue(op, TfrmUSER_E::colUSER_PW, "새 암호!");
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        const QString stored = Scalar("SELECT USER_PW FROM SCS_M_USER WHERE USER_ID = 'operator'").toString();
        QVERIFY(stored != "새 암호!");
        QVERIFY(!stored.contains("새 암호"));
        QCOMPARE(Decrypt("operator", stored), QString("새 암호!"));
        QVERIFY(Scalar("SELECT USER_UPDATE FROM SCS_M_USER WHERE USER_ID = 'operator'").toDateTime() > before);

        // A new account: empty grade 2, empty validity 1, date set; renaming goes through
        // the identifier as loaded; deleting removes the row.
        e.actAdd->trigger();
        int rec = e.Model()->RecordCount() - 1;
        e.Model()->EditValue(rec, TfrmUSER_E::colUSER_ID, "guest");
        e.Model()->EditValue(rec, TfrmUSER_E::colUSER_PW, "g1");
        e.Model()->EditValue(rec, TfrmUSER_E::colAUT_GRADE, 2);
        e.Model()->EditValue(rec, TfrmUSER_E::colAUT_GRADE, QVariant());
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("필수 입력 항목을 확인바랍니다.")); // the grade is required
        e.Model()->EditValue(rec, TfrmUSER_E::colAUT_GRADE, 2);
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        QCOMPARE(Scalar("SELECT CONCAT(AUT_GRADE, '/', USER_CHECK) FROM SCS_M_USER WHERE USER_ID = 'guest'").toString(),
                 QString("2/1"));
        QVERIFY(!Scalar("SELECT USER_UPDATE FROM SCS_M_USER WHERE USER_ID = 'guest'").isNull());
        QCOMPARE(Decrypt("guest", Scalar("SELECT USER_PW FROM SCS_M_USER WHERE USER_ID = 'guest'").toString()), QString("g1"));
        rec = e.Model()->FindKeyValue("guest");
        e.Model()->EditValue(rec, TfrmUSER_E::colUSER_ID, "guest2");
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        QCOMPARE(Scalar("SELECT COUNT(*) FROM SCS_M_USER WHERE USER_ID IN ('guest', 'guest2')").toInt(), 1);
        QCOMPARE(Scalar("SELECT USER_ID FROM SCS_M_USER WHERE USER_ID LIKE 'guest%'").toString(), QString("guest2"));
        e.gtvUSER->FocusRecord(e.Model()->FindKeyValue("guest2"));
        e.actDel->trigger();
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        QCOMPARE(Scalar("SELECT COUNT(*) FROM SCS_M_USER WHERE USER_ID = 'guest2'").toInt(), 0);
    }

    void accountEditorFailureKeepsEdits()
    {
        ScriptedMsgDlg boxes;
        TfrmUSER_E e;
        e.SetLoginGrade(1);
        e.show();
        e.Model()->EditValue(3, TfrmUSER_E::colUSER_NAME, "바뀐 이름");
        e.Model()->EditValue(2, TfrmUSER_E::colUSER_PW, "x");
        // Without the key file the cipher refuses: the whole save is rolled back.
        SetPasswordKeyFile("/nonexistent/signal-console.key");
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
        QCOMPARE(boxes.last().caption, QString("저장 실패"));
        QVERIFY(Scalar("SELECT USER_NAME FROM SCS_M_USER WHERE USER_ID = 'police'").toString() != "바뀐 이름");
        QCOMPARE(e.Model()->State(3), QString("M"));
        QCOMPARE(e.Model()->Text(3, TfrmUSER_E::colUSER_NAME), QString("바뀐 이름"));
        // With the key back the same edits save.
        boxes.enqueue(mrYes);
        e.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Scalar("SELECT USER_NAME FROM SCS_M_USER WHERE USER_ID = 'police'").toString(), QString("바뀐 이름"));
    }

    void accountExportHasNoPasswords()
    {
        QTemporaryDir dir;
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        files.enqueue(dir.filePath("users.xlsx"));
        TfrmUSER_E e;
        e.setWindowTitle("운영자 관리");
        e.show();
        e.actExport->trigger();
        const QList<QStringList> rows = CoreKit::ReadXlsx(dir.filePath("users.xlsx"));
        QVERIFY(!rows.isEmpty());
        QVERIFY(!rows.at(0).contains("비밀번호"));
        QVERIFY(rows.at(0).contains("운영자ID"));
        QCOMPARE(rows.size(), e.Model()->RecordCount() + 1);
        QVERIFY(!e.gtvUSER->isColumnHidden(TfrmUSER_E::colUSER_PW));
    }
};

QTEST_MAIN(TestCoreKitPickers)
#include "tst_corekit_pickers.moc"
