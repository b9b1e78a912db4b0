// Map bridge logic that needs no page: script texts, colours, argument converters,
// boxes and the application server's pipe messages.
#include <QJSEngine>
#include <QLocale>
#include <QTest>

#include "foundation/AppServerPipe.h"
#include "foundation/JsEscape.h"
#include "core/LcStatusColor.h"
#include "mainwindow/MainMapPageUnit.h"
#include "foundation/MapLayerGeoJson.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/VehiclePollerUnit.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"
#include "MainWindowTestEnv.h"

#include <QRegularExpression>
#include <functional>

using MainTest::MarkersIn;

namespace {

// One change between two drawLC messages of the same list.
struct TRecordStep
{
    std::function<void(MainMapPage::TLcMarkerRecord &, TLC_INFO_SET &, TMapLegend &, int &)> Run;
};

} // namespace
Q_DECLARE_METATYPE(TRecordStep)

class TstMapLogic : public QObject
{
    Q_OBJECT
private slots:
    void jsStrRoundTrip_data();
    void jsStrRoundTrip();
    void jsNumUsesCLocale();
    void jsNumText_data();
    void jsNumText();
    void statusColor_data();
    void statusColor();
    void nativeArgs_data();
    void nativeArgs();
    void consoleSplit_data();
    void consoleSplit();
    void markerLabel_data();
    void markerLabel();
    void lcListAndIds();
    void visibleTarget_data();
    void visibleTarget();
    void mapBox_data();
    void mapBox();
    void wktPositions_data();
    void wktPositions();
    void pipeMessages();
    void vehicleKeepListOwnIdsOnly();
    void initScriptNeedsBounds();
    void initScriptEnglishLoadsMeasureTexts();
    void markerRecordSendsChangesOnly_data();
    void markerRecordSendsChangesOnly();
};

void TstMapLogic::jsStrRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringLiteral("신사역사거리");
    QTest::newRow("double quote") << QStringLiteral("A \"B\" C");
    QTest::newRow("single quote") << QStringLiteral("O'Neil's");
    QTest::newRow("backslash") << QStringLiteral("C:\\maps\\x\\");
    QTest::newRow("line breaks") << QStringLiteral("one\ntwo\r\nthree");
    QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029c");
    QTest::newRow("script end") << QStringLiteral("</script><script>alert(1)</script>");
    QTest::newRow("html comment") << QStringLiteral("<!-- x -->");
    QTest::newRow("controls") << QString::fromUtf16(u"\u0001\u001f\u007f\t\b\f\v");
    QTest::newRow("empty") << QString();
}

void TstMapLogic::jsStrRoundTrip()
{
    QFETCH(QString, text);
    const QString literal = JsStr(text);
    // One literal: no raw line break and nothing that ends a script element.
    QVERIFY(!literal.contains(QLatin1Char('\n')));
    QVERIFY(!literal.contains(QLatin1Char('\r')));
    QVERIFY(!literal.contains(QChar(0x2028)));
    QVERIFY(!literal.contains(QLatin1String("</"), Qt::CaseInsensitive));
    QJSEngine js;
    const QJSValue v = js.evaluate(QStringLiteral("(") + literal + QStringLiteral(")"));
    QVERIFY2(!v.isError(), qPrintable(v.toString()));
    QCOMPARE(v.toString(), text);
}

void TstMapLogic::jsNumUsesCLocale()
{
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(JsNum(37.5162230), QStringLiteral("37.516223"));
    QCOMPARE(JsNum(-0.25), QStringLiteral("-0.25"));
    QCOMPARE(JsNum(qQNaN()), QStringLiteral("0"));
    QCOMPARE(JsNum(1234567), QStringLiteral("1234567"));
    QLocale::setDefault(old);
}

void TstMapLogic::jsNumText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal") << "37.5162230" << "37.5162230";
    QTest::newRow("negative") << "-127.5" << "-127.5";
    QTest::newRow("exponent") << "1e-3" << "1e-3";
    QTest::newRow("blanks") << " 18 " << "18";
    QTest::newRow("comma decimal") << "37,5" << "0";
    QTest::newRow("code") << "1);alert(1" << "0";
    QTest::newRow("empty") << "" << "0";
}

void TstMapLogic::jsNumText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(JsNumText(text), expected);
}

void TstMapLogic::statusColor_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("tag"); // legend shape expected, -1 = black
    for (int s = 0; s <= 12; ++s)
        if (s != 9)
            QTest::addRow("state %d", s) << s << 4 << s;
    QTest::newRow("manual lights off takes lights off") << 9 << 4 << 6;
    QTest::newRow("semi-actuated takes PPC") << 1 << 3 << 12;
    QTest::newRow("semi-actuated beats failure") << 3 << 3 << 12;
    QTest::newRow("state 13 black") << 13 << 4 << -1;
    QTest::newRow("negative black") << -1 << 4 << -1;
}

void TstMapLogic::statusColor()
{
    QFETCH(int, state);
    QFETCH(int, mode);
    QFETCH(int, tag);
    TLcStatusColors c;
    for (int t = 0; t <= 12; ++t)
        c.State[t] = QColor::fromRgb(10 * t, 255 - 10 * t, 3 * t); // all distinct
    c.Unused = QColor(1, 2, 3);
    const QColor expected = tag < 0 ? QColor(Qt::black) : c.ByTag(tag);
    QCOMPARE(LcStatusColor(c, state, mode), expected);
    QCOMPARE(GetLcStatusColor(c, state, mode), TColorToHex(expected));
    QCOMPARE(LcUseColor(c, false, state, mode), c.Unused);
}

void TstMapLogic::nativeArgs_data()
{
    QTest::addColumn<QVariant>("arg");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<double>("asDouble");
    QTest::addColumn<QString>("asText");
    QTest::addColumn<bool>("asBool");
    QTest::newRow("number") << QVariant(17.0) << 17 << 17.0 << "17" << true;
    QTest::newRow("number as text") << QVariant(QStringLiteral("17")) << 17 << 17.0 << "17" << true;
    QTest::newRow("fraction") << QVariant(37.5162) << 37 << 37.5162 << "37.5162" << true;
    QTest::newRow("fraction as text") << QVariant(QStringLiteral(" 37.5162 ")) << 37 << 37.5162 << " 37.5162 " << true;
    QTest::newRow("boolean") << QVariant(true) << 1 << 1.0 << "true" << true;
    QTest::newRow("false text") << QVariant(QStringLiteral("false")) << -9 << -9.0 << "false" << false;
    QTest::newRow("not a number") << QVariant(QStringLiteral("abc")) << -9 << -9.0 << "abc" << false;
    QTest::newRow("null") << QVariant() << -9 << -9.0 << "" << false;
}

void TstMapLogic::nativeArgs()
{
    QFETCH(QVariant, arg);
    QFETCH(int, asInt);
    QFETCH(double, asDouble);
    QFETCH(QString, asText);
    QFETCH(bool, asBool);
    const QVariantList args{QStringLiteral("first"), arg};
    QCOMPARE(NativeArgInt(args, 1, -9), asInt);
    QCOMPARE(NativeArgDouble(args, 1, -9.0), asDouble);
    QCOMPARE(NativeArgStr(args, 1), asText);
    QCOMPARE(NativeArgBool(args, 1, false), asBool);
    // Missing arguments give the default.
    QCOMPARE(NativeArgInt(args, 5, -3), -3);
    QCOMPARE(NativeArgStr(args, -1, QStringLiteral("d")), QStringLiteral("d"));
}

void TstMapLogic::consoleSplit_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("split");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("selected") << "SelectedLC:LC7" << true << "SelectedLC" << "LC7";
    QTest::newRow("value with colons") << "copyID:a:b:c" << true << "copyID" << "a:b:c";
    QTest::newRow("empty value") << "PopupMenu:" << true << "PopupMenu" << "";
    QTest::newRow("no colon") << "just a log line" << false << "" << "";
}

void TstMapLogic::consoleSplit()
{
    QFETCH(QString, message);
    QFETCH(bool, split);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QString k, v;
    QCOMPARE(SplitConsoleMessage(message, &k, &v), split);
    if (split) {
        QCOMPARE(k, key);
        QCOMPARE(v, value);
    }
}

void TstMapLogic::markerLabel_data()
{
    QTest::addColumn<int>("lcNo");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isVirtual");
    QTest::addColumn<QString>("label");
    QTest::newRow("four digits") << 7 << "논현동사거리" << false << "0007 논현동사거리";
    QTest::newRow("long number") << 12345 << "X" << false << "12345 X";
    QTest::newRow("virtual name only") << 31 << "가상교차로" << true << "가상교차로";
}

void TstMapLogic::markerLabel()
{
    QFETCH(int, lcNo);
    QFETCH(QString, name);
    QFETCH(bool, isVirtual);
    QFETCH(QString, label);
    QCOMPARE(LcMarkerLabel(lcNo, name, isVirtual), label);
}

void TstMapLogic::lcListAndIds()
{
    QCOMPARE(MainMapPage::ParseLcList(QStringLiteral("1,2, 30,x,,4")), (QList<int>{1, 2, 30, 4}));
    QCOMPARE(MainMapPage::ParseLcList(QString()), QList<int>());
    QCOMPARE(MainMapPage::IdAfterPrefix(QStringLiteral("LC12")), 12);
    QCOMPARE(MainMapPage::IdAfterPrefix(QStringLiteral("SA3")), 3);
    QCOMPARE(MainMapPage::IdAfterPrefix(QStringLiteral("LCx1")), 0);
    QCOMPARE(MainMapPage::IdAfterPrefix(QStringLiteral("LC")), 0);
}

void TstMapLogic::visibleTarget_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("target");
    QTest::newRow("node with blank") << " Node" << int(MainMapPage::vtNode);
    QTest::newRow("link") << "Link" << int(MainMapPage::vtLink);
    QTest::newRow("detector text") << " 검지기" << int(MainMapPage::vtTfdt);
    QTest::newRow("controller") << "제어기" << int(MainMapPage::vtTcdv);
    QTest::newRow("groups") << "SA" << int(MainMapPage::vtSA);
    QTest::newRow("intersections") << "LC" << int(MainMapPage::vtLC);
    QTest::newRow("movement text") << "이동류 " << int(MainMapPage::vtMvmt);
    QTest::newRow("other") << "Tiles" << int(MainMapPage::vtNone);
    QTest::newRow("case counts") << "node" << int(MainMapPage::vtNone);
}

void TstMapLogic::visibleTarget()
{
    QFETCH(QString, label);
    QFETCH(int, target);
    QCOMPARE(int(MainMapPage::ChangeVisibleTarget(label, QStringLiteral("검지기"), QStringLiteral("이동류"))), target);
}

void TstMapLogic::mapBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("leaflet box") << "127.01,37.50,127.06,37.53" << true;
    QTest::newRow("blanks") << " 127.01, 37.50 ,127.06,37.53" << true;
    QTest::newRow("three parts") << "127.01,37.50,127.06" << false;
    QTest::newRow("five parts") << "1,2,3,4,5" << false;
    QTest::newRow("text part") << "127.01,37.50,east,37.53" << false;
}

void TstMapLogic::mapBox()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const TMapBox b = TMapBox::FromBBoxString(text);
    QCOMPARE(b.Valid, valid);
    if (valid) {
        QCOMPARE(b.West, 127.01);
        QCOMPARE(b.South, 37.50);
        QCOMPARE(b.East, 127.06);
        QCOMPARE(b.North, 37.53);
        // Latitude first, closed ring.
        QCOMPARE(MapLayerGeoJson::BoxPolygonText(b),
                 QStringLiteral("Polygon((37.5 127.01,37.53 127.01,37.53 127.06,37.5 127.06,37.5 127.01))"));
    }
}

void TstMapLogic::wktPositions_data()
{
    QTest::addColumn<QString>("wkt");
    QTest::addColumn<QString>("positions");
    QTest::newRow("latitude first swapped") << "LINESTRING(37.1 127.2,37.3 127.4)" << "[127.2,37.1],[127.4,37.3]";
    QTest::newRow("blanks after commas") << "LINESTRING(37.1 127.2, 37.3 127.4)" << "[127.2,37.1],[127.4,37.3]";
    QTest::newRow("not numbers") << "LINESTRING(37.1 x,37.3 127.4)" << "";
    QTest::newRow("no parenthesis") << "EMPTY" << "";
}

void TstMapLogic::wktPositions()
{
    QFETCH(QString, wkt);
    QFETCH(QString, positions);
    QCOMPARE(MapLayerGeoJson::WktToPositions(wkt), positions);
}

void TstMapLogic::pipeMessages()
{
    AppServerPipe::TRequest req;
    req.Id = QStringLiteral("2024-01-02 03:04:05.006");
    req.Fields.insert(QStringLiteral("Command"), QStringLiteral("AppClose"));
    const QByteArray line = AppServerPipe::EncodeRequest(req);
    QVERIFY(line.endsWith('\n'));
    QCOMPARE(line.count('\n'), 1);
    AppServerPipe::TRequest back;
    QVERIFY(AppServerPipe::DecodeRequest(line, &back));
    QCOMPARE(back.Id, req.Id);
    QCOMPARE(back.Command(), QStringLiteral("AppClose"));
    QVERIFY(!AppServerPipe::DecodeRequest("not json\n", &back));
    QVERIFY(!AppServerPipe::DecodeRequest("{\"id\":\"x\"}\n", &back));

    AppServerPipe::TReply reply{QStringLiteral("x"), AppServerPipe::ecUnknownCommand, QStringLiteral("unknown\ncommand")};
    AppServerPipe::TReply r2;
    const QByteArray rl = AppServerPipe::EncodeReply(reply);
    QCOMPARE(rl.count('\n'), 1);
    QVERIFY(AppServerPipe::DecodeReply(rl, &r2));
    QCOMPARE(r2.Error, int(AppServerPipe::ecUnknownCommand));
    QCOMPARE(r2.Text, reply.Text);
}

void TstMapLogic::initScriptNeedsBounds()
{
    TMainMapPageConfig c;
    c.Lat = QStringLiteral("37.5");
    c.Lng = QStringLiteral("127.0");
    c.Zoom = QStringLiteral("16");
    c.Bounds.FSouth = QStringLiteral("37.4");
    c.Bounds.FWest = QString(); // one bound missing
    c.Bounds.FNorth = QStringLiteral("37.6");
    c.Bounds.FEast = QStringLiteral("127.2");
    const TInitMapPageScript r = MainMapPage::InitMapPage(c, TMapLegend::Defaults(), {}, {});
    QVERIFY(r.BoundsMissing);
    QVERIFY(r.Script.isEmpty());
    c.Bounds.FWest = QStringLiteral("126.9");
    const TInitMapPageScript ok = MainMapPage::InitMapPage(c, TMapLegend::Defaults(), {}, {});
    QVERIFY(!ok.BoundsMissing);
    QVERIFY(ok.Script.trimmed().endsWith(QLatin1String("window.loadEnd();")));
    QVERIFY(ok.PreScript.isEmpty()); // Korean: no English texts
}

void TstMapLogic::initScriptEnglishLoadsMeasureTexts()
{
    TMainMapPageConfig c;
    c.English = true;
    const TInitMapPageScript r = MainMapPage::InitMapPage(c, TMapLegend::Defaults(), {}, {});
    QCOMPARE(r.PreScript, QStringLiteral("$.getScript(\"libs/leaflet.measurecontrol.customized.eng.js\");"));
}

QTEST_GUILESS_MAIN(TstMapLogic)
// The keep list of a vehicle poll removes every marker whose vehicle is not in the
// poll, whatever its identifier (names of the object's own properties included).
void TstMapLogic::vehicleKeepListOwnIdsOnly()
{
    const QStringList scripts = WasScripts(QStringLiteral("[350001;37.5;127.01]"));
    QVERIFY(!scripts.isEmpty());
    QJSEngine js;
    const QJSValue setup = js.evaluate(QStringLiteral(
        "var removed = [];"
        "var carLayer = { layers: [ {options: {IMEI_NO: '350001'}}, {options: {IMEI_NO: 'constructor'}},"
        "                           {options: {IMEI_NO: 'toString'}}, {options: {IMEI_NO: '350009'}} ],"
        "  eachLayer: function (f) { this.layers.slice().forEach(f); },"
        "  removeLayer: function (l) { removed.push(l.options.IMEI_NO); } };"));
    QVERIFY2(!setup.isError(), qPrintable(setup.toString()));
    const QJSValue run = js.evaluate(scripts.first());
    QVERIFY2(!run.isError(), qPrintable(run.toString()));
    QCOMPARE(js.evaluate(QStringLiteral("removed.join(',')")).toString(), QStringLiteral("constructor,toString,350009"));
}

#include "tst_map_logic.moc"

void TstMapLogic::markerRecordSendsChangesOnly_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<TRecordStep>("step");
    QTest::addColumn<QList<int>>("sent");
    QTest::addColumn<QString>("entry"); // part of the script expected, empty: none
    using R = MainMapPage::TLcMarkerRecord;
    using S = TLC_INFO_SET;
    using L = TMapLegend;
    auto step = [](auto f) { return TRecordStep{f}; };
    const QList<int> all{1, 2, 3, 4};
    // Arrows are shown above zoom 15 (19 - 4).
    QTest::newRow("nothing changed") << 16 << step([](R &, S &, L &, int &) {}) << QList<int>() << QString();
    QTest::newRow("nothing changed, arrows hidden") << 14 << step([](R &, S &, L &, int &) {}) << QList<int>()
                                                    << QString();
    QTest::newRow("state changed") << 16 << step([](R &, S &s, L &, int &) { s.GetLcInfo(2)->opr_stat = 4; })
                                   << QList<int>{2} << QStringLiteral("[2,\"#FF00FF\",0,[");
    QTest::newRow("state to flash removes the arrows")
        << 16 << step([](R &, S &s, L &, int &) { s.GetLcInfo(2)->opr_stat = 5; }) << QList<int>{2}
        << QStringLiteral("[2,\"#FFFF00\",0,0]");
    QTest::newRow("semi-actuated takes the PPC colour")
        << 16 << step([](R &, S &s, L &, int &) { s.GetLcInfo(3)->oprMode = 3; }) << QList<int>{3}
        << QStringLiteral("[3,\"#800080\",0,[");
    QTest::newRow("blinking starts") << 16 << step([](R &, S &s, L &, int &) { s.GetLcInfo(1)->flash = 1; })
                                     << QList<int>{1} << QStringLiteral("[1,\"#00FF00\",1,[");
    QTest::newRow("taken out of use") << 16 << step([](R &, S &s, L &, int &) { s.GetLcInfo(4)->is_use = false; })
                                      << QList<int>{4} << QStringLiteral("[4,\"#C0C0C0\",0,[");
    QTest::newRow("phase changed, arrows shown")
        << 16 << step([](R &, S &s, L &, int &) { s.GetLcInfo(2)->phaseA = 1; }) << QList<int>{2}
        << QStringLiteral("[2,\"#00FF00\",0,[0,0]]");
    QTest::newRow("phase changed, arrows hidden")
        << 14 << step([](R &, S &s, L &, int &) { s.GetLcInfo(2)->phaseA = 1; }) << QList<int>() << QString();
    QTest::newRow("arrow moved by the movement editor")
        << 16 << step([](R &, S &s, L &, int &) { s.GetLcInfo(2)->Movements[0][0][0].head_lat = QStringLiteral("37.6"); })
        << QList<int>{2} << QStringLiteral("[\"mvmt0002000\",37.6,127.01,");
    QTest::newRow("arrow colour of the legend") << 16
                                                << step([](R &, S &, L &l, int &) { l.GreenMvmt = QColor(1, 2, 3); })
                                                << all << QStringLiteral("\"#010203\",true,0,45,90]");
    QTest::newRow("zoom changed") << 16 << step([](R &, S &, L &, int &scale) { scale = 17; }) << all << QString();
    QTest::newRow("record cleared (page loaded, markers rebuilt)")
        << 16 << step([](R &r, S &, L &, int &) { r.Clear(); }) << all << QString();
    QTest::newRow("page listed nothing (blinks stopped)")
        << 16 << step([](R &r, S &s, L &l, int &scale) { r.DrawLCScript(QString(), s, l, scale, 19, 4); }) << all
        << QString();
    QTest::newRow("marker left the list and came back")
        << 16 << step([](R &r, S &s, L &l, int &scale) { r.DrawLCScript(QStringLiteral("1,2,4"), s, l, scale, 19, 4); })
        << QList<int>{3} << QString();
}

void TstMapLogic::markerRecordSendsChangesOnly()
{
    QFETCH(int, scale);
    QFETCH(TRecordStep, step);
    QFETCH(QList<int>, sent);
    QFETCH(QString, entry);
    // Four intersections in use, centre-controlled (state 1, mode 4), each with the
    // arrow of ring A, phase 1 of plan class 1; ring B has no movement.
    TLC_INFO_SET set;
    for (int n = 1; n <= 4; ++n) {
        auto info = std::make_shared<TSTT_LC_INFO>();
        info->tcdv_id = n;
        info->is_use = true;
        info->lc_type = 2;
        info->opr_stat = 1;
        info->oprMode = 4;
        TMovement &m = info->Movements[0][0][0];
        m.mvmt_no = 1;
        m.head_lat = QStringLiteral("37.5");
        m.head_lng = QStringLiteral("127.01");
        m.mid_lat = m.end_lat = m.label_lat = QStringLiteral("37.5");
        m.mid_lng = m.end_lng = m.label_lng = QStringLiteral("127");
        m.head_angle = QStringLiteral("45");
        m.end_angle = QStringLiteral("90");
        set.SetLcInfo(n, info);
    }
    TMapLegend legend = TMapLegend::Defaults();
    legend.Status.State[1] = QColor(0x00, 0xFF, 0x00);
    legend.Status.State[4] = QColor(0xFF, 0x00, 0xFF);
    legend.Status.State[5] = QColor(0xFF, 0xFF, 0x00);
    legend.Status.State[12] = QColor(0x80, 0x00, 0x80);
    legend.Status.Unused = QColor(0xC0, 0xC0, 0xC0);
    const QString list = QStringLiteral("1,2,3,4");
    MainMapPage::TLcMarkerRecord record;
    const QString first = record.DrawLCScript(list, set, legend, scale, 19, 4);
    QCOMPARE(MarkersIn(first), QList<int>({1, 2, 3, 4}));
    QVERIFY(first.startsWith(QLatin1String(" applyLcStates([[1,\"#00FF00\",0")));
    QCOMPARE(record.Count(), 4);
    step.Run(record, set, legend, scale);
    const QString second = record.DrawLCScript(list, set, legend, scale, 19, 4);
    QCOMPARE(MarkersIn(second), sent);
    QCOMPARE(second.isEmpty(), sent.isEmpty());
    if (!entry.isEmpty())
        QVERIFY2(second.contains(entry), qPrintable(second));
    // Once sent, the same state is not sent again.
    QCOMPARE(record.DrawLCScript(list, set, legend, scale, 19, 4), QString());
}
