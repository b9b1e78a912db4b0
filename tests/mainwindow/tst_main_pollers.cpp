// The vehicle-position pollers against their test servers in-process: the
// markers a poll draws, and nothing drawn for a reply that is not what it claims.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <memory>

#include "core/MainContracts.h"
#include "QuietMapPage.h"
#include "centrelink/RC2MMIUnit.h"
#include "VehSim.h"
#include "mainwindow/VehiclePollerUnit.h"

namespace {

// A page that records the scripts it gets, from any thread.
class TThreadSafeRecorder : public TQuietMapPage
{
public:
    void ExecuteJavaScript(const QString &script) override
    {
        QMutexLocker lock(&FMutex);
        FScripts << script;
    }

    QStringList Scripts() const
    {
        QMutexLocker lock(&FMutex);
        return FScripts;
    }
    void Clear()
    {
        QMutexLocker lock(&FMutex);
        FScripts.clear();
    }

private:
    mutable QMutex FMutex;
    QStringList FScripts;
};

bool waitFor(const std::function<bool()> &done, int timeoutMs = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

QByteArray busData(const QList<vehsim::Bus> &buses, int announced)
{
    QByteArray full = vehsim::BusServer::reply(buses, vehsim::BusFault::None, false).mid(32);
    full[0] = char(announced);
    return full;
}

} // namespace

class TstMainPollers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetServerBigEndian(false); }

    void parseBusData_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("count");
        const QList<vehsim::Bus> two = {{"OBE1", "R1", 375000000, 1270000000}, {"OBE2", "R2", -1, 1}};
        QTest::newRow("two buses") << busData(two, 2) << true << 2;
        QTest::newRow("none") << busData({}, 0) << true << 0;
        QTest::newRow("announces more than it holds") << busData(two, 3) << false << 0;
        QTest::newRow("empty data") << QByteArray() << false << 0;
        QTest::newRow("a partial record") << busData(two, 2).left(1 + 52 + 30) << false << 0;
    }

    void parseBusData()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, ok);
        QFETCH(int, count);
        QList<TBusRecord> records;
        QCOMPARE(ParseBusData(data, &records), ok);
        QCOMPARE(records.size(), count);
        if (count == 2) {
            QCOMPARE(records[0].ObeId, QStringLiteral("OBE1"));
            QCOMPARE(records[0].Second, QStringLiteral("R1"));
            QCOMPARE(records[0].LatE7, 375000000);
            QCOMPARE(records[1].LatE7, -1);
        }
    }

    void parseWasText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("vehicles");
        QTest::newRow("none") << QStringLiteral("[]") << QStringList();
        QTest::newRow("two") << QStringLiteral("[A1;37.5;127.01,B2;37.51;127.02]")
                             << QStringList{"A1|37.5|127.01", "B2|37.51|127.02"};
        QTest::newRow("a broken entry is skipped") << QStringLiteral("[A1;37.5,B2;37.51;127.02]")
                                                   << QStringList{"B2|37.51|127.02"};
    }

    void parseWasText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, vehicles);
        QStringList got;
        for (const TWasVehicle &v : ParseWasText(text))
            got << v.Id + "|" + v.Lat + "|" + v.Lng;
        QCOMPARE(got, vehicles);
    }

    void busPoller()
    {
        vehsim::BusServer server;
        QVERIFY(server.start());
        server.setBuses({{"OBE1", "R1", 375012345, 1270204060}, {"OBE2", "R2", 0, 1270000000}});
        TThreadSafeRecorder page;
        {
            TBRTThread th(QStringLiteral("127.0.0.1"), server.port(), 1000, 1000, 100, 300, &page);
            QVERIFY(waitFor([&] { return th.PollCount() >= 1 && page.Scripts().size() >= 2; }));
            th.Terminate();
            th.WaitFor();
        }
        const QStringList s = page.Scripts();
        QVERIFY(s.size() >= 2);
        QVERIFY2(s[0].contains(QStringLiteral("bus_OBE1.setLatLng([37.5012345, 127.020406])")), qPrintable(s[0]));
        QVERIFY(s[0].contains(QStringLiteral("\"OBE ID : OBE1\"")));
        QVERIFY(s[0].contains(QStringLiteral("markerColor: \"darkblue\"")));
        // A bus at latitude 0 is taken off the map.
        QVERIFY(s[1].contains(QStringLiteral("else { map.removeLayer(bus_OBE2); }")));
        QVERIFY(s[1].contains(QStringLiteral("if (false)")));

        // A bus missing from the next poll is removed.
        const QStringList next = BusScripts({TBusRecord{QStringLiteral("OBE2"), {}, 1, 1}}, {"OBE1", "OBE2"});
        QCOMPARE(next.size(), 2);
        QCOMPARE(next[1], QStringLiteral(" if (typeof bus_OBE1 !== \"undefined\") { map.removeLayer(bus_OBE1); } "));
    }

    void busPollerCorruptReply_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("command 2") << int(vehsim::BusFault::WrongCommand);
        QTest::newRow("data size 0") << int(vehsim::BusFault::ZeroSize);
        QTest::newRow("fewer records than announced") << int(vehsim::BusFault::ShortRecords);
    }

    void busPollerCorruptReply()
    {
        QFETCH(int, fault);
        vehsim::BusServer server;
        QVERIFY(server.start());
        server.setBuses({{"OBE1", "R1", 375000000, 1270000000}});
        server.setFault(vehsim::BusFault(fault));
        TThreadSafeRecorder page;
        TBRTThread th(QStringLiteral("127.0.0.1"), server.port(), 1000, 1000, 50, 1500, &page);
        QVERIFY(waitFor([&] { return th.FailCount() >= 1; }));
        // The next poll waits for the retry time, not the interval.
        QTest::qWait(400);
        QCOMPARE(server.requests(), 1);
        QVERIFY(page.Scripts().isEmpty());
        th.Terminate();
        th.WaitFor();
    }

    void vehiclePoller()
    {
        vehsim::VehicleServer server;
        QVERIFY(server.start());
        server.setText(QStringLiteral("[350001;37.5;127.01,350002;0;127.02]"));
        TThreadSafeRecorder page;
        std::atomic<bool> visible{false};
        TWASThread th(QStringLiteral("127.0.0.1"), server.port(), 1000, 1000, 50, 300, &visible, &page);
        // Hidden: no poll at all.
        QTest::qWait(300);
        QCOMPARE(server.requests(), 0);
        visible = true;
        QVERIFY(waitFor([&] { return page.Scripts().size() >= 3; }));
        const QStringList s = page.Scripts();
        QVERIFY2(s[0].contains(QStringLiteral("var ovikKeep = {\"350001\": true, \"350002\": true};")), qPrintable(s[0]));
        QVERIFY(s[1].contains(QStringLiteral("window.car_350001 = L.marker([37.5, 127.01]")));
        QVERIFY(s[1].contains(QStringLiteral("IMEI_NO: \"350001\"")));
        QVERIFY(s[1].contains(QStringLiteral("window.updateCarName(\"350001\")")));
        QVERIFY(s[1].contains(QStringLiteral("markerColor: _assignColor()")));
        QVERIFY(s[2].contains(QStringLiteral("else { carLayer.removeLayer(car_350002); }")));

        // "[]" clears the layer.
        server.setText(QStringLiteral("[]"));
        page.Clear();
        QVERIFY(waitFor([&] { return page.Scripts().contains(WasClearScript()); }));
        th.Terminate();
        th.WaitFor();
    }

    void vehiclePollerCorruptReply_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("wrong check byte") << int(vehsim::VehicleFault::BadCheck);
        QTest::newRow("length 0") << int(vehsim::VehicleFault::ZeroLength);
        QTest::newRow("wrong head byte") << int(vehsim::VehicleFault::WrongHead);
    }

    void vehiclePollerCorruptReply()
    {
        QFETCH(int, fault);
        vehsim::VehicleServer server;
        QVERIFY(server.start());
        server.setText(QStringLiteral("[350001;37.5;127.01]"));
        server.setFault(vehsim::VehicleFault(fault));
        TThreadSafeRecorder page;
        TWASThread th(QStringLiteral("127.0.0.1"), server.port(), 1000, 1000, 50, 100, nullptr, &page);
        QVERIFY(waitFor([&] { return th.FailCount() >= 2; }));
        QVERIFY(page.Scripts().isEmpty());
        // Once the replies are sound again the markers come.
        server.setFault(vehsim::VehicleFault::None);
        QVERIFY(waitFor([&] { return !page.Scripts().isEmpty(); }));
        th.Terminate();
        th.WaitFor();
    }

    void requests()
    {
        QCOMPARE(WasRequest().toHex(), QByteArray("a00000000000"));
        const QByteArray bus = BusRequest();
        QCOMPARE(bus.size(), 32);
        QCOMPARE(bus.left(2), QByteArray("CM"));
        QCOMPARE(int(quint8(bus.at(7))), 3); // kind
        QCOMPARE(int(quint8(bus.at(8))), 2); // opcode
        QCOMPARE(int(quint8(bus.at(9))), 2); // command
        QCOMPARE(WasCheckByte(QByteArray::fromHex("0102f0")), quint8(0xf3));
    }
};

QTEST_GUILESS_MAIN(TstMainPollers)
#include "tst_main_pollers.moc"
