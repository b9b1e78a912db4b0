// The movement editor's window on the fixture database with a page that only
// records: the plan classes per controller, the page start and the stored arrows,
// the save (the page's messages scripted: ten columns of the named rows, nothing
// inserted, one box at the end, the live record and the refresh flags) and the
// window settings kept in the settings file.
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QComboBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "CoreKitSupport.h"
#include "EditorFixture.h"
#include "QuietMapPage.h"
#include "core/InAppMessage.h"
#include "core/PhaseImageList.h"
#include "core/Quorval.h"
#include "foundation/IniFile.h"
#include "intersection/untTCDV_E_PhaseMvmt.h"

namespace {

const char *const kDb = "tst_phase_mvmt_window";

using TRecordingPage = TRecordingLoadPage;

using EditorFixture::Column;
using EditorFixture::Exec;

QString SavePoint(const QString &name, int n)
{
    return QStringLiteral("savePoint:{\"name\":\"%1\",\"headPointLat\":\"%2.1\",\"headPointLng\":\"%2.2\","
                          "\"middlePointLat\":\"%2.3\",\"middlePointLng\":\"%2.4\",\"endPointLat\":\"%2.5\","
                          "\"endPointLng\":\"%2.6\",\"labelPointLat\":\"%2.7\",\"labelPointLng\":\"%2.8\","
                          "\"headAngle\":\"%2.9\",\"endAngle\":\"%2.10\"}")
        .arg(name)
        .arg(n);
}

const char *const kRows =
    "SELECT CONCAT_WS('|', INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, IFNULL(INT_MINSPLIT, 'NULL'), "
    "IFNULL(LINK_ID, 'NULL'), IFNULL(INT_HEAD_LAT, 'NULL'), IFNULL(INT_HEAD_LNG, 'NULL'), "
    "IFNULL(INT_MIDDLE_LAT, 'NULL'), IFNULL(INT_MIDDLE_LNG, 'NULL'), IFNULL(INT_END_LAT, 'NULL'), "
    "IFNULL(INT_END_LNG, 'NULL'), IFNULL(INT_LABEL_LAT, 'NULL'), IFNULL(INT_LABEL_LNG, 'NULL'), "
    "IFNULL(INT_HEAD_ANGLE, 'NULL'), IFNULL(INT_END_ANGLE, 'NULL')) FROM SCS_M_INTPHASE WHERE INT_LCNO = 5 "
    "ORDER BY INT_PLANCLSS, INT_PHASENO, INT_RING";

} // namespace

class TestPhaseMvmtWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<CoreKit::TDataModule> FDm;
    std::shared_ptr<TRecordingPage> FPage;
    QTemporaryDir FDir;
    int FOfferedColour = -1; // the colour the colour dialog was opened with
    int FChosenColour = -1;  // the colour it answers (-1: cancelled)

    // An editor of intersection lcNo with its live record, shown, its page ready.
    TfrmTCDV_E_PhaseMvmt *Open(int lcNo, const PSTT_LC_INFO &live)
    {
        auto *w = new TfrmTCDV_E_PhaseMvmt(nullptr, live);
        w->SetIniFileName(FDir.filePath("console.ini"));
        w->SetTCDV_ID(lcNo);
        w->SetLat("37.5");
        w->SetLng("127.0");
        w->show();
        w->PageMessage("loadEnd", {});
        return w;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        QVERIFY(TestDb::create(kDb, false));
        FDm = std::make_unique<CoreKit::TDataModule>(kDb);
        QVERIFY(FDm->ok);
        QVERIFY(CoreKit::LoadLanguage());
        TMvmtEditorHost host;
        host.MakePage = [this](QWidget *, QWidget *) {
            FPage = std::make_shared<TRecordingPage>();
            return std::static_pointer_cast<IMapBridge>(FPage);
        };
        host.ChooseColor = [this](QWidget *, int *colour) {
            FOfferedColour = *colour;
            if (FChosenColour < 0)
                return false;
            *colour = FChosenColour;
            return true;
        };
        SetMvmtEditorHost(host);
    }
    void cleanupTestCase()
    {
        SetMvmtEditorHost({});
        FDm.reset();
    }

    void init()
    {
        QFile::remove(FDir.filePath("console.ini"));
        TInAppMessageHolder::instance()->Take();
        QVERIFY(Exec("DELETE FROM SCS_M_INTPHASE"));
        QVERIFY(Exec("DELETE FROM SCS_M_INTLC"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_LCTYPE, INT_LAMPTYPE, INT_SANO) VALUES "
                     "(5, 'N5', 2, 0, 1), (6, 'N6', 1, 0, 1)"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, "
                     "INT_MINSPLIT, LINK_ID, INT_HEAD_LAT, INT_HEAD_LNG, INT_MIDDLE_LAT, INT_MIDDLE_LNG, "
                     "INT_END_LAT, INT_END_LNG, INT_LABEL_LAT, INT_LABEL_LNG, INT_HEAD_ANGLE, INT_END_ANGLE) VALUES "
                     "(5, 1, 1, 1, 2, 15, 'L1', '37.51', '127.01', '37.52', '127.02', '37.53', '127.03', "
                     "'37.54', '127.04', '90', '45'), "
                     "(5, 1, 1, 2, 6, 16, 'L2', '37.61', '127.11', '37.62', '127.12', '37.63', '127.13', "
                     "'37.64', '127.14', '180', '0'), "
                     "(5, 2, 1, 1, 3, 0, NULL, '37.71', '127.21', '37.72', '127.22', '37.73', '127.23', "
                     "'37.74', '127.24', '10', '20')"));
    }

    // The plan classes follow the controller of the intersection.
    void planClasses_data()
    {
        QTest::addColumn<int>("lcNo");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("2010") << 5
                              << QStringList{"일반제", "시차제#1", "시차제#2", "시차제#3", "시차제#4", "시차제#5", "보행맵"};
        QTest::newRow("2004") << 6 << QStringList{"일반제", "시차제"};
    }
    void planClasses()
    {
        QFETCH(int, lcNo);
        QFETCH(QStringList, texts);
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->tcdv_id = lcNo;
        std::unique_ptr<TfrmTCDV_E_PhaseMvmt> w(new TfrmTCDV_E_PhaseMvmt(nullptr, live));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(w->TCDV_ID(), lcNo);
        QStringList items;
        for (int i = 0; i < w->cbxGennType->count(); ++i)
            items << w->cbxGennType->itemText(i);
        QCOMPARE(items, texts);
        QCOMPARE(w->cbxGennType->currentIndex(), 0);
    }
    // An opener that names another intersection than the live record gets the
    // plan classes of the one it names.
    void planClassesFollowTheNamedIntersection()
    {
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->tcdv_id = 6;
        std::unique_ptr<TfrmTCDV_E_PhaseMvmt> w(new TfrmTCDV_E_PhaseMvmt(nullptr, live));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(w->cbxGennType->count(), 2);
        w->SetTCDV_ID(5);
        QCOMPARE(w->cbxGennType->count(), 7);
        QCOMPARE(w->cbxGennType->itemText(6), QString("보행맵"));
        w->SetTCDV_ID(6);
        QCOMPARE(w->cbxGennType->count(), 2);
        QCOMPARE(w->cbxGennType->itemText(1), QString("시차제"));
    }

    // The page starts at the intersection, and the stored arrows of the chosen class
    // are drawn once it is ready; the phase list shows phase, ring and movement.
    void storedArrowsAndPhaseList()
    {
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->tcdv_id = 5;
        QPointer<TfrmTCDV_E_PhaseMvmt> w = Open(5, live);
        const QString all = FPage->Scripts.join('\n');
        QVERIFY(all.contains("initialize(37.5, 127.0, 18,"));
        QVERIFY(all.contains("mvmt111 = L.movement([[37.5, 127.0], [37.51, 127.01], [37.52, 127.02], "
                             "[37.53, 127.03], [37.54, 127.04]]"));
        QVERIFY(all.contains("mvmt112 = L.movement("));
        QVERIFY(!all.contains("mvmt211"));   // another class
        QCOMPARE(w->MvmtList(), QStringList({"mvmt111", "mvmt112"}));
        QCOMPARE(w->gtvPhase->rowCount(), 2);
        QCOMPARE(w->gtvPhase->item(1, 0)->text(), QString("1"));
        QCOMPARE(w->gtvPhase->item(1, 1)->text(), QString("B"));
        QCOMPARE(w->gtvPhase->item(1, 2)->text(), QString("6"));
        QVERIFY(w->PhaseButton(1, 2)->isVisibleTo(w));
        QVERIFY(!w->PhaseButton(2, 1)->isVisibleTo(w));
        QCOMPARE(w->PhaseLabel(1, 2)->text(), QString("6"));

        // A row chosen restyles its arrow and selects it.
        FPage->Scripts.clear();
        w->PhaseRowChosen(1);
        QCOMPARE(w->PhaseNo(), 1);
        QCOMPARE(w->RingNo(), 2);
        QVERIFY(FPage->Scripts.join('\n').contains("selectedMovemet = mvmt112"));
        // A phase outside 1 to 8 changes nothing.
        w->gtvPhase->insertRow(2);
        w->gtvPhase->setItem(2, 0, new QTableWidgetItem("9"));
        w->gtvPhase->setItem(2, 1, new QTableWidgetItem("A"));
        w->gtvPhase->setItem(2, 2, new QTableWidgetItem("3"));
        FPage->Scripts.clear();
        w->PhaseRowChosen(2);
        QCOMPARE(w->PhaseNo(), 1);
        QCOMPARE(w->RingNo(), 2);
        QVERIFY(FPage->Scripts.isEmpty());
        w->close();
        QVERIFY(w.isNull() || !w->isVisible());
    }

    // The phase buttons of a class show the pictures of the phase picture list: picture
    // (m - 1) mod 8 for the vehicle movements, 8 and 9 for the pedestrian ones 17 and 18.
    void phaseButtonPictures()
    {
        // Class 3 holds six movements over phases 1 to 3.
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER) "
                     "VALUES (5, 3, 1, 1, 1), (5, 3, 1, 2, 8), (5, 3, 2, 1, 9), (5, 3, 2, 2, 16), "
                     "(5, 3, 3, 1, 17), (5, 3, 3, 2, 18)"));
        struct TCase
        {
            int phase, ring, movement, picture;
        };
        const TCase cases[] = {{1, 1, 1, 0}, {1, 2, 8, 7}, {2, 1, 9, 0}, {2, 2, 16, 7}, {3, 1, 17, 8}, {3, 2, 18, 9}};
        // The pictures differ from each other, so a button shows exactly one of them.
        for (int a = 0; a < imgPhase().Count(); ++a) {
            QVERIFY(!imgPhase().Pixmap(a).isNull());
            for (int b = a + 1; b < imgPhase().Count(); ++b)
                QVERIFY2(imgPhase().Pixmap(a).toImage() != imgPhase().Pixmap(b).toImage(),
                         qPrintable(QStringLiteral("%1 %2").arg(a).arg(b)));
        }
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->tcdv_id = 5;
        QPointer<TfrmTCDV_E_PhaseMvmt> w = Open(5, live);
        // Class 1: movements 2 and 6 in phase 1.
        QCOMPARE(w->PhaseButton(1, 1)->property("Picture").toInt(), 1);
        QCOMPARE(w->PhaseButton(1, 2)->property("Picture").toInt(), 5);
        w->SetPlanClass(3);
        w->btnSearchClick();
        for (const TCase &c : cases) {
            const QString row = QStringLiteral("phase %1 ring %2 movement %3").arg(c.phase).arg(c.ring).arg(c.movement);
            QToolButton *b = w->PhaseButton(c.phase, c.ring);
            QVERIFY2(b->isVisibleTo(w), qPrintable(row));
            QCOMPARE(w->PhaseLabel(c.phase, c.ring)->text(), QString::number(c.movement));
            QCOMPARE(b->property("Picture").toInt(), c.picture);
            QVERIFY2(!b->icon().isNull(), qPrintable(row));
            const QImage shown = b->icon().pixmap(imgPhase().Size()).toImage().convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(shown == imgPhase().Pixmap(c.picture).toImage().convertToFormat(QImage::Format_ARGB32),
                     qPrintable(row));
        }
        // Phases without a movement in the class show no button and no picture.
        QVERIFY(!w->PhaseButton(4, 1)->isVisibleTo(w));
        QVERIFY(w->PhaseButton(4, 1)->icon().isNull());
        // Numbers outside 1 to 18 have no picture.
        for (int m : {0, 19, -1})
            QCOMPARE(PhaseButtonPicture(m), -1);
        w->close();
    }

    // The arrow colour label: a click changes the arrow colour and redraws the arrows
    // in it; with Ctrl held it changes the label's text colour only; a cancelled
    // dialog changes nothing. The dialog opens with the label's background colour.
    void colourLabels()
    {
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->tcdv_id = 5;
        QPointer<TfrmTCDV_E_PhaseMvmt> w = Open(5, live);
        // Ctrl + click: text colour 255 (red), arrows keep the default colour.
        FChosenColour = 255;
        QTest::keyPress(w, Qt::Key_Control, Qt::ControlModifier);
        QVERIFY(w->CtrlKeyDown());
        FPage->Scripts.clear();
        w->MovementColorClick(w->lblMovement);
        QCOMPARE(FOfferedColour, 6146608);
        QCOMPARE(w->Settings().MoveFontColor, 255);
        QCOMPARE(w->Settings().MoveColor, 6146608);
        QCOMPARE(w->lblMovement->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(FPage->Scripts.join('\n').contains("color: \"#30ca5d\""));
        QTest::keyRelease(w, Qt::Key_Control);
        QVERIFY(!w->CtrlKeyDown());
        // A plain click: the arrow colour, the arrows redrawn in it.
        FChosenColour = 0xFF0000; // blue
        FPage->Scripts.clear();
        w->MovementColorClick(w->lblMovement);
        QCOMPARE(w->Settings().MoveColor, 0xFF0000);
        QCOMPARE(w->Settings().MoveFontColor, 255);
        QCOMPARE(w->lblMovement->palette().color(QPalette::Window), QColor(0, 0, 255));
        QVERIFY(FPage->Scripts.join('\n').contains("color: \"#0000ff\""));
        // The selected-arrow label has its own colours; cancelling keeps them.
        FChosenColour = -1;
        w->MovementColorClick(w->lblSelMovement);
        QCOMPARE(FOfferedColour, 8421376);
        QCOMPARE(w->Settings().SelMoveColor, 8421376);
        w->close();
    }

    // Saving: every drawn arrow is asked for its points, "Done" last; the scripted
    // messages update the ten columns of their rows only, a message for a row that
    // does not exist inserts nothing, and one box ends the save.
    void scriptedSave_data()
    {
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("rows");
        const QString untouched1 = "1|1|1|2|15|L1|37.51|127.01|37.52|127.02|37.53|127.03|37.54|127.04|90|45";
        const QString saved1 = "1|1|1|2|15|L1|1.1|1.2|1.3|1.4|1.5|1.6|1.7|1.8|1.9|1.10";
        const QString saved2 = "1|1|2|6|16|L2|2.1|2.2|2.3|2.4|2.5|2.6|2.7|2.8|2.9|2.10";
        const QString class2 = "2|1|1|3|0|NULL|37.71|127.21|37.72|127.22|37.73|127.23|37.74|127.24|10|20";
        QTest::newRow("both arrows and a missing row")
            << QStringList{SavePoint("mvmt111", 1), SavePoint("mvmt112", 2), SavePoint("mvmt181", 3), "Done"} << true
            << QStringList{saved1, saved2, class2};
        QTest::newRow("a broken message, the next still written")
            << QStringList{"savePoint:{broken", SavePoint("mvmt112", 2), "Done"} << false
            << QStringList{untouched1, saved2, class2};
        QTest::newRow("other console output is ignored")
            << QStringList{"tile loaded", "savePointless", SavePoint("mvmt111", 1), "Done"} << true
            << QStringList{saved1, "1|1|2|6|16|L2|37.61|127.11|37.62|127.12|37.63|127.13|37.64|127.14|180|0", class2};
    }
    void scriptedSave()
    {
        QFETCH(QStringList, messages);
        QFETCH(bool, ok);
        QFETCH(QStringList, rows);
        ScriptedMsgDlg dlg;
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->tcdv_id = 5;
        live->Movements[6][7][1].mvmt_no = 9;   // an arrow no longer stored
        QPointer<TfrmTCDV_E_PhaseMvmt> w = Open(5, live);
        FPage->Scripts.clear();
        TInAppMessageHolder::instance()->Take();
        w->btnSave->click();
        QCOMPARE(FPage->Scripts,
                 QStringList({"mvmt111.getSavePoints();", "mvmt112.getSavePoints();", " console.log(\"Done\");"}));
        QVERIFY(TInAppMessageHolder::instance()->Flags().REFRESH_TCDV_TOD);
        for (const QString &m : messages)
            w->ConsoleMessage(m);
        QCOMPARE(Column(kRows), rows);
        QCOMPARE(dlg.count(), 1);
        if (ok) {
            QCOMPARE(dlg.last().caption, QString("저장 성공"));
            QCOMPARE(dlg.last().text, QString("저장되었습니다."));
            QCOMPARE(dlg.last().kind, mkInformation);
            // The live record holds the stored block: points, angles, splits, links.
            const QStringList first = rows.first().split('|');
            const TMovement &a = live->Movements[0][0][0];
            QCOMPARE(QStringList({a.head_lat, a.head_lng, a.mid_lat, a.mid_lng, a.end_lat, a.end_lng, a.label_lat,
                                  a.label_lng, a.head_angle, a.end_angle}),
                     first.mid(6));
            QCOMPARE(a.min_split, 15);
            QCOMPARE(a.link_id.str(), QString("L1"));
            QCOMPARE(live->Movements[1][0][0].head_lat.str(), QString("37.71"));
            QCOMPARE(live->Movements[6][7][1].mvmt_no, 0);
            QVERIFY(TInAppMessageHolder::instance()->Flags().REFRESH_MVMT_TCDV_M);
        } else {
            QCOMPARE(dlg.last().caption, QString("저장 실패"));
            QCOMPARE(dlg.last().text, QString("저장중 문제가 발생했습니다."));
            QCOMPARE(dlg.last().kind, mkError);
            QVERIFY(!dlg.last().detail.isEmpty());
            QCOMPARE(live->Movements[6][7][1].mvmt_no, 9);
            QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_MVMT_TCDV_M);
        }
        w->close();
    }

    // The window settings: read when shown (defaults without a file), written when
    // the window closes, read again by the next window.
    void settingsRoundTrip()
    {
        {
            QPointer<TfrmTCDV_E_PhaseMvmt> w = Open(5, nullptr);
            QCOMPARE(w->edtMvmtLength->value(), 50);
            QCOMPARE(w->edtMvmtSize->value(), 10);
            QCOMPARE(w->edtOffsetXSize->value(), 15);
            QCOMPARE(w->edtOffsetYSize->value(), 10);
            QCOMPARE(w->edtOffsetLSize->value(), 20);
            w->edtMvmtLength->setValue(120);
            w->edtMvmtSize->setValue(7);
            w->edtOffsetXSize->setValue(-30);
            w->edtOffsetYSize->setValue(44);
            w->edtOffsetLSize->setValue(-5);
            w->close();
        }
        const TIniFile ini(FDir.filePath("console.ini"));
        const QString s = "MOVE-EDIT-WIN";
        QCOMPARE(ini.ReadInteger(s, "MOVE_LENGTH", 0), 120);
        QCOMPARE(ini.ReadInteger(s, "MOVE_SIZE", 0), 7);
        QCOMPARE(ini.ReadInteger(s, "X_OFFSET_SIZE", 0), -30);
        QCOMPARE(ini.ReadInteger(s, "Y_OFFSET_SIZE", 0), 44);
        QCOMPARE(ini.ReadInteger(s, "L_OFFSET_SIZE", 0), -5);
        QCOMPARE(ini.ReadInteger(s, "MOVE_COLOR", 0), 6146608);
        QCOMPARE(ini.ReadInteger(s, "SELMOVE_COLOR", 0), 8421376);
        QCOMPARE(ini.ReadInteger(s, "MOVE_FONT_COLOR", 0), 16777215);
        QPointer<TfrmTCDV_E_PhaseMvmt> again = Open(5, nullptr);
        QCOMPARE(again->edtMvmtLength->value(), 120);
        QCOMPARE(again->edtOffsetXSize->value(), -30);
        // The thickness box redraws the default arrows with its value.
        FPage->Scripts.clear();
        again->edtMvmtSize->setValue(12);
        QVERIFY(FPage->Scripts.join('\n').contains(
            "init(37.5, 127.0, 1, 120, 12, -30, 44, -5, 0, \"#30ca5d\", \"mvmt111\");"));
        again->close();
    }
};

QTEST_MAIN(TestPhaseMvmtWindow)
#include "tst_phase_mvmt_window.moc"
