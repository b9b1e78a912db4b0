// The movement arrow editor with its real page offscreen, installed as the program
// installs it: the page draws the stored arrows of the chosen plan class, and on
// saving every drawn arrow answers with its points, "Done" last, so that the
// stored rows keep the points they were drawn from.
#include <QApplication>
#include <QPushButton>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>

#include "CoreKitSupport.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "intersection/untTCDV_E_PhaseMvmt.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/MvmtEditorHook.h"

namespace {

const char *const kDb = "tst_mvmt_editor_page";

bool Exec(const QString &sql)
{
    QSqlQuery q(DM->Con());
    if (!q.exec(sql)) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return false;
    }
    return true;
}

QStringList Column(const QString &sql)
{
    QSqlQuery q(DM->Con());
    QStringList list;
    if (!q.exec(sql))
        return {q.lastError().text()};
    while (q.next())
        list << q.value(0).toString();
    return list;
}

} // namespace

class TstMvmtEditorPage : public QObject
{
    Q_OBJECT
    std::unique_ptr<CoreKit::TDataModule> FDm;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, false));
        FDm = std::make_unique<CoreKit::TDataModule>(kDb);
        QVERIFY(FDm->ok);
        QVERIFY(CoreKit::LoadLanguage());
        const QString page = QDir(QCoreApplication::applicationDirPath()).filePath("html/mvmt_editor.html");
        QVERIFY2(QFileInfo::exists(page), qPrintable(page));
        DM->G_EDITOR_URL = QUrl::fromLocalFile(page).toString();
        DM->G_TILE_URL.clear();   // no tile server
        InstallMvmtEditor();
        QVERIFY(TMainOpeners::IsRegistered("TfrmTCDV_E_PhaseMvmt"));
        QVERIFY(Exec("DELETE FROM SCS_M_INTPHASE WHERE INT_LCNO = 5"));
        QVERIFY(Exec("DELETE FROM SCS_M_INTLC WHERE INT_LCNO = 5"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_LCTYPE, INT_LAMPTYPE, INT_SANO) VALUES "
                     "(5, 'N5', 2, 0, 1)"));
        // Two stored arrows of the general plan, a third movement in another class.
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, "
                     "INT_HEAD_LAT, INT_HEAD_LNG, INT_MIDDLE_LAT, INT_MIDDLE_LNG, INT_END_LAT, INT_END_LNG, "
                     "INT_LABEL_LAT, INT_LABEL_LNG, INT_HEAD_ANGLE, INT_END_ANGLE) VALUES "
                     "(5, 1, 1, 1, 2, '37.5005', '127.0001', '37.5003', '127.0001', '37.5001', '127.0001', "
                     "'37.5002', '127.0002', '0', '0'), "
                     "(5, 1, 2, 2, 6, '37.4995', '126.9999', '37.4997', '126.9999', '37.4999', '126.9999', "
                     "'37.4998', '126.9998', '180', '180'), "
                     "(5, 2, 1, 1, 3, '37.5', '127.0', '37.5', '127.0', '37.5', '127.0', '37.5', '127.0', '0', '0')"));
    }
    void cleanupTestCase() { FDm.reset(); }

    void drawsStoredArrowsAndAnswersForEach()
    {
        ScriptedMsgDlg boxes;
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->tcdv_id = 5;
        const TWindowClassHooks *hooks = TMainOpeners::Hooks("TfrmTCDV_E_PhaseMvmt");
        QVERIFY(hooks && hooks->Create);
        TOpenContext ctx;
        ctx.TCDV_ID = 5;
        // Without a main window the opener has no live set: the test hands the record itself.
        QPointer<TfrmTCDV_E_PhaseMvmt> w = new TfrmTCDV_E_PhaseMvmt(nullptr, live);
        TMainOpeners::Apply(*hooks, w, "FLat", "37.5");
        TMainOpeners::Apply(*hooks, w, "FLng", "127.0");
        QCOMPARE(w->Lat(), QString("37.5"));
        w->resize(1000, 700);
        auto *bridge = dynamic_cast<TMapViewBridge *>(w->Page());
        QVERIFY(bridge);
        TMapViewController *ctl = bridge->Controller();
        QStringList saved, errors;
        bool done = false;
        connect(ctl, &TMapViewController::consoleMessage, this,
                [&](int level, const QString &message, int line, const QString &source) {
                    if (message.startsWith("savePoint:"))
                        saved << message;
                    else if (message == "Done")
                        done = true;
                    else if (level == QWebEnginePage::ErrorMessageLevel)
                        errors << QStringLiteral("%1 (%2:%3)").arg(message, source).arg(line);
                });
        w->show();
        QTRY_VERIFY_WITH_TIMEOUT(!w->Page()->IsLoading(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(w->MvmtList(), QStringList({"mvmt111", "mvmt122"}), 20000);
        // The page holds exactly the drawn arrows, each a movement object of its name.
        QTRY_COMPARE_WITH_TIMEOUT(ctl->EvaluateJavaScript("MvmtLayer.getLayers().length", 20000).toInt(), 2, 20000);
        for (const QString &name : {QString("mvmt111"), QString("mvmt122")})
            QCOMPARE(ctl->EvaluateJavaScript(name + ".name", 20000).toString(), name);
        QCOMPARE(ctl->EvaluateJavaScript("selectedMovemet ? selectedMovemet.name : ''", 20000).toString(),
                 QString("mvmt111"));

        w->btnSave->click();
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        QCOMPARE(saved.size(), 2);
        QStringList names;
        for (const QString &m : saved) {
            const QJsonObject o = QJsonDocument::fromJson(m.mid(10).toUtf8()).object();
            names << o.value("name").toString();
            for (const char *member : {"headPointLat", "headPointLng", "middlePointLat", "middlePointLng",
                                       "endPointLat", "endPointLng", "labelPointLat", "labelPointLng", "headAngle",
                                       "endAngle"}) {
                bool number = false;
                o.value(member).toString().toDouble(&number);
                QVERIFY2(number, member);
            }
        }
        QCOMPARE(names, QStringList({"mvmt111", "mvmt122"}));
        // The editor saved them: one success box, the points as they were drawn.
        QTRY_COMPARE_WITH_TIMEOUT(boxes.count(), 1, 20000);
        QCOMPARE(boxes.last().caption, QString("저장 성공"));
        QCOMPARE(Column("SELECT CONCAT_WS('|', INT_HEAD_LAT, INT_HEAD_LNG, INT_END_LAT, INT_LABEL_LNG) FROM "
                        "SCS_M_INTPHASE WHERE INT_LCNO = 5 AND INT_PLANCLSS = 1 ORDER BY INT_PHASENO"),
                 QStringList({"37.5005|127.0001|37.5001|127.0002", "37.4995|126.9999|37.4999|126.9998"}));
        QCOMPARE(live->Movements[0][1][1].head_lat.str(), QString("37.4995"));
        QVERIFY2(errors.filter("Uncaught").isEmpty(), qPrintable(errors.join('\n')));
        w->close();
        QTRY_VERIFY(w.isNull());
    }
};

int main(int argc, char *argv[])
{
    InitMapViewRuntime();
    QApplication app(argc, argv);
    TstMvmtEditorPage t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_mvmt_editor_page.moc"
