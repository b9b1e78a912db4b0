// Shared records: the wire image of the common extended command, the selections of
// the VIP and traffic-information panels, map bounds and database settings.
#include <QTest>

#include "foundation/TypeUnit.h"

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void commonCmdHeaderIsThirtyPackedBytes()
    {
        QCOMPARE(sizeof(TCommonCmdHeader), size_t(30));
        TCommonCmdHeader h{};
        const auto base = reinterpret_cast<const char *>(&h);
        QCOMPARE(reinterpret_cast<const char *>(&h.Desc) - base, 6);
        QCOMPARE(reinterpret_cast<const char *>(&h.Action) - base, 26);
        QCOMPARE(reinterpret_cast<const char *>(&h.ItemCnt) - base, 27);
        QCOMPARE(reinterpret_cast<const char *>(&h.SizeEach) - base, 28);
        QCOMPARE(reinterpret_cast<const char *>(&h.DataType) - base, 29);
    }

    void commonCmdByteImage()
    {
        TCommonCmd c;
        c.Header.Action = 9; // Init must clear this
        c.Data = "xyz";
        c.Init();
        QCOMPARE(c.Data.size(), 0);
        QCOMPARE(c.GetByteArray(), QByteArray(30, '\0'));
        QCOMPARE(c.HeaderSize(), 30);
        QCOMPARE(c.PacketSize(), 30);

        QVERIFY(c.SetCmd("-VERS"));
        QCOMPARE(QByteArray(c.Header.Cmd, 6), QByteArray::fromHex("2D5645525300"));
        QVERIFY(c.SetDesc("version"));
        c.Header.Action = 1;
        c.Header.ItemCnt = 3;
        c.Header.SizeEach = 4;
        c.Header.DataType = 0xFE;
        c.Data = QByteArray::fromHex("000102030405060708090A0B");
        QCOMPARE(c.DataSize(), 12);
        QCOMPARE(c.PacketSize(), 42);

        QByteArray expected = QByteArray::fromHex("2D5645525300");
        expected += QByteArray("version") + QByteArray(13, '\0');
        expected += QByteArray::fromHex("010304FE");
        expected += QByteArray::fromHex("000102030405060708090A0B");
        QCOMPARE(c.GetByteArray(), expected);
        QCOMPARE(c.HeaderBytes(), expected.left(30));
    }

    void setCmdKeepsTrailingBytesAndNeverWritesPastTheField_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QByteArray>("cmd");

        QTest::newRow("shorter keeps the rest") << "-VERS" << "AB" << true << QByteArray("ABERS\0", 6);
        QTest::newRow("exactly six") << "" << "ABCDEF" << true << QByteArray("ABCDEF");
        QTest::newRow("too long is cut") << "" << "ABCDEFGH" << false << QByteArray("ABCDEF");
        // "가" is three UTF-8 bytes: two fit, the third would be split and is left out.
        QTest::newRow("cut at a whole character") << "" << "가가가" << false
                                                  << (QString("가가").toUtf8());
        QTest::newRow("multibyte partly fitting") << "" << "AB가나" << false
                                                  << (QString("AB가").toUtf8() + QByteArray(1, '\0'));
    }

    void setCmdKeepsTrailingBytesAndNeverWritesPastTheField()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, fits);
        QFETCH(QByteArray, cmd);
        TCommonCmd c;
        c.Init();
        c.SetCmd(first);
        QCOMPARE(c.SetCmd(second), fits);
        QCOMPARE(QByteArray(c.Header.Cmd, 6), cmd);
        QCOMPARE(QByteArray(c.Header.Desc, 20), QByteArray(20, '\0')); // untouched neighbour
    }

    void setDescCutsToTwentyBytes()
    {
        TCommonCmd c;
        c.Init();
        c.Header.Action = 0x55;
        QVERIFY(!c.SetDesc(QString(25, 'x')));
        QCOMPARE(QByteArray(c.Header.Desc, 20), QByteArray(20, 'x'));
        QCOMPARE(c.Header.Action, quint8(0x55));
        QVERIFY(c.SetDesc(QString(20, 'y')));
        QCOMPARE(QByteArray(c.Header.Desc, 20), QByteArray(20, 'y'));
    }

    // ---------------------------------------------------------------------

    void vipSelection()
    {
        TVIPCtrlSel s;
        QCOMPARE(s.Exist(5), -1);
        QCOMPARE(s.Delete(5), -1);

        s.SetSelCount(5);
        QCOMPARE(s.FSelLcId, QList<int>({0, 0, 0, 0, 0}));
        QCOMPARE(s.FSelPhaseNo.size(), 5);
        s.FSelLcId = {10, 20, 30, 20, 40};
        s.FSelPhaseNo = {1, 2, 3, 4, 5};

        // The last duplicate is found and removed first.
        QCOMPARE(s.Exist(20), 3);
        QCOMPARE(s.Delete(20), 3);
        QCOMPARE(s.FSelCount, 4);
        QCOMPARE(s.FSelLcId, QList<int>({10, 20, 30, 40}));
        QCOMPARE(s.FSelPhaseNo, QList<int>({1, 2, 3, 5}));
        QCOMPARE(s.Delete(20), 1);
        QCOMPARE(s.FSelPhaseNo, QList<int>({1, 3, 5}));

        // Not selected: nothing changes.
        QCOMPARE(s.Delete(99), -1);
        QCOMPARE(s.FSelCount, 3);
        QCOMPARE(s.FSelLcId, QList<int>({10, 30, 40}));

        // Only the first FSelCount entries count.
        s.FSelCount = 1;
        QCOMPARE(s.Exist(40), -1);
        s.FSelCount = 0;
        QCOMPARE(s.Exist(10), -1);
        // A count larger than the arrays does not read past them.
        s.FSelCount = 10;
        QCOMPARE(s.Exist(40), 2);
    }

    void setSelCountShortensAndGrows()
    {
        TVIPCtrlSel s;
        s.SetSelCount(5);
        s.FSelLcId = {1, 2, 3, 4, 5};
        s.FSelPhaseNo = {6, 7, 8, 9, 10};
        s.SetSelCount(3);
        QCOMPARE(s.FSelCount, 3);
        QCOMPARE(s.FSelLcId, QList<int>({1, 2, 3}));
        QCOMPARE(s.FSelPhaseNo, QList<int>({6, 7, 8}));
        s.SetSelCount(4);
        QCOMPARE(s.FSelLcId, QList<int>({1, 2, 3, 0}));
        QCOMPARE(s.FSelPhaseNo, QList<int>({6, 7, 8, 0}));
        s.SetSelCount(-1);
        QCOMPARE(s.FSelCount, 0);
        QVERIFY(s.FSelLcId.isEmpty());
    }

    void trafficInfoSelection()
    {
        TTrafficInfoSel s;
        QCOMPARE(s.Exist(1), -1);
        s.SetSelCount(5);
        s.FSelLcId = {7, 8, 7, 9, 10};
        s.SetSelCount(3);
        QCOMPARE(s.FSelLcId, QList<int>({7, 8, 7}));
        QCOMPARE(s.Exist(7), 2);
        QCOMPARE(s.Delete(7), 2);
        QCOMPARE(s.Delete(9), -1);
        QCOMPARE(s.FSelCount, 2);
        QCOMPARE(s.FSelLcId, QList<int>({7, 8}));
    }

    // ---------------------------------------------------------------------

    void mapBoundsEmpty_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("empty");
        QTest::newRow("all four") << QStringList{"37.1", "126.9", "37.6", "127.2"} << false;
        QTest::newRow("one blank") << QStringList{"37.1", "126.9", "  ", "127.2"} << true;
        QTest::newRow("one empty") << QStringList{"", "126.9", "37.6", "127.2"} << true;
        QTest::newRow("none") << QStringList{"", "", "", ""} << true;
    }

    void mapBoundsEmpty()
    {
        QFETCH(QStringList, values);
        QFETCH(bool, empty);
        TMapBounds b;
        b.FSouth = values[0];
        b.FWest = values[1];
        b.FNorth = values[2];
        b.FEast = values[3];
        QCOMPARE(b.IsEmpty(), empty);
    }

    void shortTextsAreCut()
    {
        TMapBounds b;
        b.FSouth = QString("37.123456789012345678901");
        QCOMPARE(b.FSouth.str(), QString("37.12345678901234567"));

        TNodeData n;
        n.Name = QString(60, QChar(0xAC00));
        QCOMPARE(n.Name.size(), 50);

        // A cut never leaves half of a surrogate pair.
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
        TShortText<3> t = QString("ab") + emoji;
        QCOMPARE(t.str(), QString("ab"));
    }

    void dbInfoNamesShareOneStorage()
    {
        TDBInfo a;
        a.DBType = dtMariaDB;
        a.DBName = "scsdb";
        QCOMPARE(a.SID.str(), QString("scsdb"));
        QCOMPARE(a.DataSource.str(), QString("scsdb"));
        a.UserID = QString(25, 'u');
        QCOMPARE(a.UserID.size(), 20);
        a.UserPW = QString(40, 'p');
        QCOMPARE(a.UserPW.size(), 32);
        a.Port = "330612345678";
        QCOMPARE(a.Port.str(), QString("3306123456"));
        a.SID = QString(51, 's');
        QCOMPARE(a.DBName.size(), 50);

        // Copies keep their own storage behind the three names.
        TDBInfo b = a;
        b.DBName = "other";
        QCOMPARE(b.SID.str(), QString("other"));
        QCOMPARE(a.SID.size(), 50);
        TDBInfo c;
        c = b;
        c.DataSource = "dsn";
        QCOMPARE(c.DBName.str(), QString("dsn"));
        QCOMPARE(b.DBName.str(), QString("other"));
        QCOMPARE(c.DBType, dtMariaDB);
    }

    void enumerationsAreOneByteFromZero()
    {
        QCOMPARE(sizeof(TDBType), size_t(1));
        QCOMPARE(int(dtMariaDB), 2);
        QCOMPARE(int(lct2010_4L), 3);
        QCOMPARE(int(ctJump), 2);
        QCOMPARE(int(aemAdd), 1);
    }

    void inAppMessageFlags()
    {
        TInAppMessage m;
        QVERIFY(!m.Any());
        m.REFRESH_TFDT_MASTER = true;
        QVERIFY(m.Any());
        m.Clear();
        QVERIFY(!m.Any());
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
