// The intersection monitor window against the fixture database (demo city): state
// images shown through the live set, switching intersections, the comments memo, the
// spill-back list, the firmware progress, closing while the page loads, a database
// error of the refresh shown once and the event-history button.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLayout>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTextCursor>
#include <QUrl>

#include <memory>

#include "TestConsoleFolder.h"
#include "QuietMapPage.h"
#include "TestDb.h"
#include "centrelink/RC2MMIUnit.h"
#include "control/untTCDV_M.h"
#include "core/GridView.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace {

const QString kDb = QStringLiteral("lcmonitor_window");
QString u(const char *s) { return QString::fromUtf8(s); }

using TTestPage = TRecordingLoadPage;

// A stand-in of the event history window: records its intersection and searches.
class TFakeEventHistory : public QWidget
{
public:
    int TcdvId = 0;
    int Searches = 0;
    explicit TFakeEventHistory(QWidget *owner) : QWidget(owner, Qt::Window)
    {
        auto *b = new QPushButton(this);
        b->setObjectName(QStringLiteral("btnSearch"));
        QObject::connect(b, &QPushButton::clicked, this, [this] { ++Searches; });
    }
};

} // namespace

class TstLcMonitorWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;
    QSqlDatabase FDb;
    TLC_INFO_SET FSet;
    std::unique_ptr<ScriptedMsgDlg> FMsg;
    QMap<int, QPointer<QWidget>> FOpen; // the monitor list of the test's "main window"
    QMap<QWidget *, std::shared_ptr<TTestPage>> FPages;
    bool FHangPages = false;
    QList<QUrl> FOpenedUrls; // addresses the memo asked to open

    TLcMonitorHost host()
    {
        TLcMonitorHost h;
        h.LcInfoSet = &FSet;
        h.MakePage = [this](QWidget *w, QWidget *) {
            auto p = std::make_shared<TTestPage>();
            p->Hang = FHangPages;
            FPages[w] = p;
            return std::static_pointer_cast<IMapBridge>(p);
        };
        h.FindMonitor = [this](int n) -> QWidget * { return FOpen.value(n); };
        h.Reregister = [this](int oldNo, int newNo, QWidget *w) {
            FOpen.remove(oldNo);
            FOpen[newNo] = w;
        };
        h.DbErrorText = [](int code) { return QStringLiteral("E%1").arg(code); };
        h.OpenUrl = [this](const QUrl &url) {
            FOpenedUrls << url;
            return true;
        };
        return h;
    }

    TfrmTCDV_M *open(int lc)
    {
        auto *w = NewLcMonitor(nullptr, FSet.GetLcInfo(lc), host());
        if (w) {
            FOpen[lc] = w;
            w->show();
        }
        return w;
    }
    TTestPage *page(TfrmTCDV_M *w) { return FPages.value(w).get(); }

    bool exec(const QString &sql)
    {
        QSqlQuery q(FDb);
        if (!q.exec(sql)) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return false;
        }
        return true;
    }

    // One refresh with an image built by `fill`.
    void refresh(TfrmTCDV_M *w, const std::function<void(TST_VESK_STATE &)> &fill)
    {
        auto img = std::make_shared<TST_VESK_STATE>();
        std::memset(img.get(), 0, sizeof(TST_VESK_STATE));
        fill(*img);
        FSet.DecodeImage(*img);
        TMonitorRefresh r;
        r.Image = img;
        r.LcInfoSet = &FSet;
        r.PacketDateTime = QDateTime(QDate(2026, 12, 11), QTime(10, 11, 12));
        r.Monitored = true;
        w->RefreshFromImage(r);
    }

    static QStringList rows(const QTableWidget *g)
    {
        QStringList out;
        for (int r = 0; r < g->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < g->columnCount(); ++c)
                cells << (g->item(r, c) ? g->item(r, c)->text() : QString());
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
        QVERIFY(TestDb::create(kDb, true));
        FDb = TestDb::open(kDb, QStringLiteral("tst_lcmonitor"));
        QVERIFY(FDb.isOpen());
        QVERIFY(FDir.isValid());
        DM = TestConsole::OpenDataModule(FDir.path(), kDb);
        QVERIFY(DM);
        DM->G_ADMIN_MODE = true;
        SetServerBigEndian(false);
        QVERIFY(FSet.LoadFromDb(DM->Con()));
        QVERIFY(FSet.LoadMovementsFromDb(DM->Con()));
        FMsg = std::make_unique<ScriptedMsgDlg>();
    }

    void cleanup()
    {
        for (auto &w : FOpen)
            if (w) {
                if (auto *m = qobject_cast<TfrmTCDV_M *>(w.data()))
                    if (TTestPage *p = page(m))
                        p->Loading = false;
                delete w.data();
            }
        FOpen.clear();
        FPages.clear();
        FHangPages = false;
        FOpenedUrls.clear();
        FMsg->clear();
    }

    void cleanupTestCase()
    {
        FMsg.reset();
        delete DM;
        DM = nullptr;
    }

    // The state image through the live set: labels, colours, the group, the page.
    void showsTheStateImage()
    {
        TfrmTCDV_M *w = open(16);
        QVERIFY(w);
        QCOMPARE(w->edtTCDV->text(), QStringLiteral("16"));
        QCOMPARE(w->lblSA_ID->text(), QStringLiteral("2"));
        QVERIFY(page(w)->All().contains(QStringLiteral(" window.loadEnd(); ")));
        QVERIFY(!page(w)->Loading);
        refresh(w, [](TST_VESK_STATE &img) {
            TST_ITST_STATE &r = img.lc_state[15];
            r.defined = 1;
            r.status = 10;
            r.intGroup = HostToNetShort(7);
            r.lcst[0] = 0x05;      // control mode 5
            r.lcst[1] = 2 << 5;    // ring A phase 3
            r.lcst[14] = 4;        // hold phase 4
            r.lcst[16] = 1 << 4;   // plan class 1
            r.lcst[24] = 0x06;     // lock installed, released
        });
        QCOMPARE(w->ValueLabel("lc_status")->text(), u("현시유지"));
        QCOMPARE(w->ValueLabel("intGroup")->text(), QStringLiteral("7"));
        QCOMPARE(w->ValueLabel("phaseHold")->text(), QStringLiteral("4"));
        QCOMPARE(w->ValueLabel("lblLockStatus")->text(), u("설치(풀림)"));
        QCOMPARE(w->ValueLabel("lblOpTime")->text(), QStringLiteral("10:11:12"));
        QVERIFY(w->ValueLabel("phaseHold")->styleSheet().contains(QStringLiteral("#ffcc33")));
        QCOMPARE(w->Model().HoldColumn, 4);
        // The phase grid marks ring A's running phase 3 (grid column 5).
        QCOMPARE(w->gtvPhaseInfo->item(0, 4)->background().color(), QColor(0xE1, 0xF4, 0xF7));
        // Demo movements of plan class 1 (planInfo 1 is the second class: none stored) leave
        // the movement cells empty; the knob counts ring A's phase.
        QVERIFY(page(w)->All().contains(QStringLiteral("$(\"#ovik-lc-counter-container\").css(\"display\", \"block\");")));

        // The centre stops reporting: both mode labels read the comm-error text.
        refresh(w, [](TST_VESK_STATE &img) { img.lc_state[15].defined = 1; });
        QCOMPARE(w->ValueLabel("lc_status")->text(), u("통신이상"));
        QCOMPARE(w->ValueLabel("oprMode")->text(), u("통신이상"));
        QCOMPARE(w->ValueLabel("phaseHold")->text(), QString());
        QVERIFY(page(w)->Scripts.last().contains(QStringLiteral(" MvmtLayer.clearLayers();")));
    }

    // A virtual intersection shows its main intersection's state record.
    void virtualShowsItsMain()
    {
        TfrmTCDV_M *w = open(41);
        QVERIFY(w);
        refresh(w, [](TST_VESK_STATE &img) {
            img.lc_state[15].defined = 1;
            img.lc_state[15].status = 7;
            img.lc_state[15].intGroup = HostToNetShort(5);
            img.lc_state[40].status = 0;
            img.lc_state[40].intGroup = HostToNetShort(99);
        });
        QCOMPARE(w->ValueLabel("lc_status")->text(), u("수동진행"));
        QCOMPARE(w->ValueLabel("intGroup")->text(), QStringLiteral("5"));
    }

    // Switching: a number without a live record or one already monitored puts the old
    // number back; the monitored one comes forward; a free one moves the window.
    void switchingIntersections()
    {
        TfrmTCDV_M *a = open(16);
        TfrmTCDV_M *b = open(17);
        QVERIFY(a && b);
        a->edtTCDV->setText(QStringLiteral("17"));
        QTest::keyClick(a->edtTCDV, Qt::Key_Return);
        QCOMPARE(a->TCDV_ID(), 16);
        QCOMPARE(a->edtTCDV->text(), QStringLiteral("16"));
        QCOMPARE(a->edtTCDV->cursorPosition(), 2);
        a->SetTCDV_ID(999);
        QCOMPARE(a->TCDV_ID(), 16);
        QCOMPARE(a->edtTCDV->text(), QStringLiteral("16"));
        QCOMPARE(FOpen.value(16).data(), a);

        // Arrows drawn, then a switch: the new page gets both arrows again.
        refresh(a, [](TST_VESK_STATE &img) {
            img.lc_state[15].defined = 1;
            img.lc_state[15].status = 1;
        });
        a->SetTCDV_ID(19);
        QCOMPARE(a->TCDV_ID(), 19);
        QCOMPARE(FOpen.value(19).data(), a);
        QVERIFY(!FOpen.contains(16));
        QCOMPARE(a->Model().TmpPhaseAMvmt(), QString());
        QCOMPARE(a->Model().TmpPhaseBMvmt(), QString());
        QCOMPARE(a->lblSA_ID->text(), QStringLiteral("2"));
    }

    void closeRefusedWhileLoading()
    {
        FHangPages = true;
        TfrmTCDV_M *w = open(16);
        QPointer<TfrmTCDV_M> guard(w);
        QVERIFY(page(w)->Loading);
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        // A page that fails to load lets the window go.
        w->PageLoadFailed();
        QVERIFY(w->close());
        QTRY_VERIFY(guard.isNull());
    }

    void closeAfterLayersArrived()
    {
        FHangPages = true;
        TfrmTCDV_M *w = open(16);
        QVERIFY(w->PageMessage(QStringLiteral("loadEndEx"), {QStringLiteral("link")}));
        QVERIFY(page(w)->Loading);
        QVERIFY(!w->close());
        QVERIFY(w->PageMessage(QStringLiteral("loadEndEx"), {QStringLiteral("node")}));
        QVERIFY(!page(w)->Loading);
        QVERIFY(!w->PageMessage(QStringLiteral("other"), {}));
        QVERIFY(w->close());
    }

    // The memo is stored as rich text and read back; the old console's rich text (CP949
    // escapes) reads as its Korean text; a refused update keeps the memo changed.
    void memoRoundTrip()
    {
        TfrmTCDV_M *w = open(16);
        QVERIFY(!w->actSaveMemo->isEnabled());
        w->edtMemo->setPlainText(u("점검 예정 {월요일}\n담당: 김"));
        QVERIFY(w->MemoChanged());
        QVERIFY(w->actSaveMemo->isEnabled());
        w->actSaveMemo->trigger();
        QVERIFY(!w->MemoChanged());
        QCOMPARE(FMsg->count(), 0);
        {
            QSqlQuery q(FDb);
            QVERIFY(q.exec(QStringLiteral("SELECT INT_COMMENTS FROM SCS_M_INTLC WHERE INT_LCNO = 16")) && q.next());
            QVERIFY(q.value(0).toByteArray().startsWith("{\\rtf1"));
        }
        delete w;
        FOpen.remove(16);
        w = open(16);
        QCOMPARE(w->edtMemo->toPlainText(), u("점검 예정 {월요일}\n담당: 김"));
        QVERIFY(!w->MemoChanged());

        // As the old console wrote it.
        QVERIFY(exec(QStringLiteral("UPDATE SCS_M_INTLC SET INT_COMMENTS = '{\\\\rtf1\\\\ansi\\\\ansicpg949\\\\deff0"
                                    "{\\\\fonttbl{\\\\f0\\\\fnil\\\\fcharset129 \\\\''b1\\\\''bc\\\\''b8\\\\''b2;}}\\r\\n"
                                    "\\\\viewkind4\\\\uc1\\\\pard\\\\lang1042\\\\f0\\\\fs18 \\\\''b0\\\\''a1\\\\''b3\\\\''aa"
                                    "\\\\par\\r\\n}\\r\\n' WHERE INT_LCNO = 17")));
        TfrmTCDV_M *old = open(17);
        QCOMPARE(old->edtMemo->toPlainText(), u("가나"));

        // A refused update.
        QVERIFY(exec(QStringLiteral("CREATE TRIGGER TRG_REFUSE_MEMO BEFORE UPDATE ON SCS_M_INTLC FOR EACH ROW "
                                    "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'")));
        w->edtMemo->setPlainText(u("바뀐 메모"));
        QVERIFY(!w->SaveMemo());
        QVERIFY(exec(QStringLiteral("DROP TRIGGER TRG_REFUSE_MEMO")));
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->requests().last().text, u("저장중 문제가 발생했습니다."));
        QVERIFY(w->MemoChanged());
        QVERIFY(w->actSaveMemo->isEnabled());
        QCOMPARE(w->edtMemo->toPlainText(), u("바뀐 메모"));
        QCOMPARE(*LoadComments(FDb, 16), u("점검 예정 {월요일}\n담당: 김"));
    }

    // Only the active settings that name this intersection, by direction, "hh:mm".
    void spillbackList()
    {
        QVERIFY(exec(QStringLiteral(
            "INSERT INTO SCS_M_INTSPILLBACK (INT_LCNO, INT_SPILLBACKINDEX, INT_SPILLBACKINT, INT_SPILLBACKSTARTHOUR,"
            " INT_SPILLBACKSTARTMIN, INT_SPILLBACKENDHOUR, INT_SPILLBACKENDMIN, INT_SPILLBACKACTIVE) VALUES"
            " (18, 2, 16, 7, 5, 8, 0, 1), (19, 1, 16, 6, 0, 6, 30, 0), (20, 3, 17, 7, 0, 9, 0, 1)")));
        TfrmTCDV_M *w = open(16);
        // Directions by the direction list: 2 east, 4 west, 6 south-east, 8 north-west.
        QCOMPARE(rows(w->gtvSpillback), (QStringList{u("동|07:05|08:00|18|르네상스호텔사거리"),
                                                     u("서|07:00|09:30|17|역삼역사거리"),
                                                     u("남동|06:05|07:00|18|르네상스호텔사거리"),
                                                     u("북서|00:00|23:59|34|양재역사거리")}));
        QList<TSpillbackRow> list;
        QVERIFY(LoadSpillbackList(FDb, dtMariaDB, 30, &list));
        QVERIFY(list.isEmpty());
        QVERIFY(exec(QStringLiteral("DELETE FROM SCS_M_INTSPILLBACK WHERE INT_SPILLBACKINT IN (16, 17) AND INT_LCNO <> 17")));
    }

    // A failing refresh query is reported once, not every cycle; the list is emptied.
    void refreshErrorShownOnce()
    {
        TfrmTCDV_M *w = open(16);
        QVERIFY(w->gtvSpillback->rowCount() > 0);
        QVERIFY(exec(QStringLiteral("RENAME TABLE SCS_M_INTSPILLBACK TO SCS_M_INTSPILLBACK_AWAY")));
        for (int k = 0; k < 3; ++k)
            refresh(w, [](TST_VESK_STATE &img) {
                img.lc_state[15].defined = 1;
                img.lc_state[15].status = 1;
            });
        QCoreApplication::processEvents();
        QVERIFY(exec(QStringLiteral("RENAME TABLE SCS_M_INTSPILLBACK_AWAY TO SCS_M_INTSPILLBACK")));
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(w->gtvSpillback->rowCount(), 0);
    }

    // The firmware size is read once per module; the bar counts 240-byte blocks.
    void firmwareProgress()
    {
        QVERIFY(exec(QStringLiteral("UPDATE SCS_M_FIRMWARE SET FW_SIZE = 24239 WHERE FW_ID = 10201")));
        TfrmTCDV_M *w = open(16);
        for (int k = 0; k < 2; ++k)
            refresh(w, [k](TST_VESK_STATE &img) {
                TST_ITST_STATE &r = img.lc_state[15];
                r.defined = 1;
                r.status = 1;
                r.lcst[17] = 10201 >> 8;
                r.lcst[18] = 10201 & 0xFF;
                r.lcst[19] = 0;
                r.lcst[20] = quint8(30 + k);
            });
        QCOMPARE(w->ValueLabel("lblFwModuleID")->text(), QStringLiteral("10201"));
        QCOMPARE(w->pgbFwModuleDgIdx->maximum(), 100);
        QCOMPARE(w->pgbFwModuleDgIdx->value(), 31);
        QCOMPARE(w->Model().FirmwareLookups, 1);
    }

    // The event history opens through the window openers, preset and searched.
    void eventHistory()
    {
        TfrmTCDV_M *w = open(16);
        QVERIFY(!w->actShowEventHistory->isEnabled());
        delete w;
        FOpen.remove(16);
        QList<QPointer<TFakeEventHistory>> made;
        TMainOpeners::Register(QStringLiteral("TfrmEventHistory"),
                               {[&made](const TOpenContext &c) -> QWidget * {
                                    auto *h = new TFakeEventHistory(c.Owner);
                                    made << h;
                                    return h;
                                },
                                [](QWidget *h, const QString &setter, const QVariant &v) {
                                    if (setter == QLatin1String("TCDV_ID"))
                                        static_cast<TFakeEventHistory *>(h)->TcdvId = v.toInt();
                                },
                                {}, {}});
        w = open(16);
        QVERIFY(w->actShowEventHistory->isEnabled());
        w->btnShowEventHistory->click();
        w->btnShowEventHistory->click();
        QCOMPARE(made.size(), 1);
        QCOMPARE(made[0]->TcdvId, 16);
        QCOMPARE(made[0]->Searches, 2);
        QCOMPARE(made[0]->parentWidget(), w);
        QCOMPARE(made[0]->windowTitle(), u("이벤트이력"));
        TMainOpeners::Unregister(QStringLiteral("TfrmEventHistory"));
        // An operator of grade 4 has no button.
        DM->G_APP_USER.Role = 4;
        TfrmTCDV_M *police = open(17);
        QVERIFY(police->btnShowEventHistory->isHidden());
        DM->G_APP_USER.Role = 0;
    }

    // The hot spot folds and unfolds the detail panel: folded 593 wide (1223 + 20 -
    // 651 + 1), unfolded 440 for a 2004 controller and 647 for a 2010 one, the window
    // growing by the panel less the folded bar; the spill-back list takes the 2010
    // panels' place on a 2004 controller and stands below them on a 2010 one.
    void detailPanelFolding()
    {
        TfrmTCDV_M *w = open(18); // 2004
        QVERIFY(w);
        QVERIFY(w->DetailFolded());
        QCOMPARE(w->MainPanelWidth(), 593);
        QTRY_COMPARE(w->width(), 593);
        QCOMPARE(w->pnlDetailInfo->maximumWidth(), 21);
        QVERIFY(w->pnlDetailContent->isHidden());

        w->pnlDetailInfoHotSpot->click();
        QVERIFY(!w->DetailFolded());
        QTRY_COMPARE(w->width(), 1012);
        QCOMPARE(w->pnlDetailInfo->maximumWidth(), 440);
        QVERIFY(w->grpExpandInfo->isHidden());
        QVERIFY(w->gpDetector->isVisible());
        QVERIFY(w->pnlExpandInfo->isHidden());
        QCOMPARE(w->gbxSpillback->maximumWidth(), 404);

        // Switching to a 2010 controller while unfolded resizes for its panels.
        w->SetTCDV_ID(19);
        QCOMPARE(w->TCDV_ID(), 19);
        QTRY_COMPARE(w->width(), 1219);
        QCOMPARE(w->pnlDetailInfo->maximumWidth(), 647);
        QVERIFY(w->grpExpandInfo->isVisible());
        QVERIFY(w->gpDetector->isHidden());
        QVERIFY(w->pnlExpandInfo->isVisible());
        QCOMPARE(w->gbxSpillback->maximumWidth(), 612);
        w->layout()->activate();
        QVERIFY(w->gbxSpillback->geometry().top() > w->pnlExpandInfo->geometry().bottom());

        w->pnlDetailInfoHotSpot->click();
        QVERIFY(w->DetailFolded());
        QTRY_COMPARE(w->width(), 593);
        QVERIFY(w->pnlDetailContent->isHidden());

        // A 2010 monitor unfolded straight away.
        TfrmTCDV_M *b = open(16);
        b->ToggleDetailPanel();
        QTRY_COMPARE(b->width(), 1219);
        QVERIFY(b->grpExpandInfo->isVisible());
    }

    // An address in the memo is opened by a left click on it, nothing else is.
    void memoAddressClick()
    {
        TfrmTCDV_M *w = open(16);
        w->edtMemo->setPlainText(u("점검 http://city.kr/a 참고\n둘째 줄"));
        auto clickAt = [w](int pos) {
            QTextCursor c(w->edtMemo->document());
            c.setPosition(pos);
            const QRect r = w->edtMemo->cursorRect(c);
            QTest::mouseClick(w->edtMemo->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 1, r.center().y()));
        };
        clickAt(1); // Korean text
        QVERIFY(FOpenedUrls.isEmpty());
        clickAt(8); // inside the address
        QCOMPARE(FOpenedUrls, QList<QUrl>{QUrl(QStringLiteral("http://city.kr/a"))});
        clickAt(26); // second line
        QCOMPARE(FOpenedUrls.size(), 1);
    }

    // The LSU ring view of a 2010 controller in PPC service: eight bands LSU1..LSU8, each
    // over a "P1" and a "P2" column; a ring-view byte fills the cells of its two LSUs
    // (odd LSU P1 bits 6-7, P2 bits 4-5, even LSU P1 bits 2-3, P2 bits 0-1).
    void lsuRingGrid()
    {
        TfrmTCDV_M *w = open(16);
        QVERIFY(w);
        auto *header = qobject_cast<TGridHeaderView *>(w->gtvRing->horizontalHeader());
        QVERIFY(header);
        QCOMPARE(w->gtvRing->columnCount(), 16);
        QCOMPARE(header->Bands().size(), 8);
        for (int k = 0; k < 8; ++k) {
            const TGridBand &band = header->Bands().at(k);
            QCOMPARE(band.Caption, QStringLiteral("LSU%1").arg(k + 1));
            QCOMPARE(band.Columns, (QList<int>{2 * k, 2 * k + 1}));
            QCOMPARE(w->gtvRing->horizontalHeaderItem(2 * k)->text(), QStringLiteral("P1"));
            QCOMPARE(w->gtvRing->horizontalHeaderItem(2 * k + 1)->text(), QStringLiteral("P2"));
        }
        QVERIFY(!w->gtvRing->isVisibleTo(w));

        refresh(w, [](TST_VESK_STATE &img) {
            TST_ITST_STATE &r = img.lc_state[15];
            r.defined = 1;
            r.status = 12;
            r.lcst[22] = 0x80; // PPC in service
            r.lcst[25] = 0x1B; // LSU1 P1 0, P2 1; LSU2 P1 2, P2 3
            r.lcst[27] = 0x40; // LSU5 P1 1
            r.lcst[28] = 0x02; // LSU8 P2 2
        });
        QVERIFY(w->gtvRing->isVisibleTo(w));
        QCOMPARE(rows(w->gtvRing),
                 QStringList{QStringLiteral("00|01|02|03|00|00|00|00|01|00|00|00|00|00|00|02")});
        // Column 9 is LSU5's P1 (green for 1), column 16 LSU8's P2 (amber for 2).
        QCOMPARE(header->BandOf(8), 4);
        QCOMPARE(w->gtvRing->item(0, 8)->background().color(), QColor(0x66, 0xCC, 0x66));
        QCOMPARE(w->gtvRing->item(0, 15)->background().color(), QColor(0xFF, 0xCC, 0x33));
        QCOMPARE(w->gtvRing->item(0, 0)->background().style(), Qt::NoBrush);

        // Back to standby: the ring view goes away.
        refresh(w, [](TST_VESK_STATE &img) {
            TST_ITST_STATE &r = img.lc_state[15];
            r.defined = 1;
            r.status = 12;
        });
        QVERIFY(!w->gtvRing->isVisibleTo(w));
    }

    // English texts: the spill-back list and the PPC state.
    void englishTexts()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        TfrmTCDV_M *w = open(19);
        QStringList heads;
        for (int c = 0; c < w->gtvSpillback->columnCount(); ++c)
            heads << w->gtvSpillback->horizontalHeaderItem(c)->text();
        const QString title = w->gbxSpillback->title();
        auto ppc = [&](quint8 flags) {
            refresh(w, [flags](TST_VESK_STATE &img) {
                TST_ITST_STATE &r = img.lc_state[18];
                r.defined = 1;
                r.status = 12;
                r.lcst[22] = flags;
            });
            return w->ValueLabel("lc_status")->text();
        };
        const QString inService = ppc(0x80), standby = ppc(0x00);
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QCOMPARE(heads, (QStringList{"Direction", "Start (h:m)", "End (h:m)", "LC No.", "Intersection Name"}));
        QCOMPARE(title, QStringLiteral("Spillback Intersections"));
        QCOMPARE(inService, QStringLiteral("PPC Controlling"));
        QCOMPARE(standby, QStringLiteral("PPC Control"));
        // And back in Korean.
        QCOMPARE(w->gbxSpillback->title(), u("앞막힘제어 교차로"));
        QCOMPARE(w->gtvSpillback->horizontalHeaderItem(3)->text(), u("LC번호"));
    }
};

QTEST_MAIN(TstLcMonitorWindow)
#include "tst_lcmonitor_window.moc"
