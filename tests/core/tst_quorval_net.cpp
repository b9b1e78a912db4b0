// Blocking socket helpers against a loopback server: exact-length reads, the read
// time-out on a stalled peer, a peer that closes early, and sending.
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "core/Quorval.h"

class TestQuorvalNet : public QObject
{
    Q_OBJECT

    QTcpServer server;
    QTcpSocket *client = nullptr;
    QTcpSocket *peer = nullptr;

    // The kernel completes the handshake, so one thread can play both ends.
    void connectPair()
    {
        client = new QTcpSocket(this);
        QVERIFY(ConnectSocket(client, "127.0.0.1", server.serverPort(), 2000));
        QVERIFY(server.waitForNewConnection(2000));
        peer = server.nextPendingConnection();
        QVERIFY(peer);
    }

    void peerSends(const QByteArray &b)
    {
        peer->write(b);
        while (peer->bytesToWrite() > 0)
            QVERIFY(peer->waitForBytesWritten(2000));
    }

private slots:
    void initTestCase() { QVERIFY(server.listen(QHostAddress::LocalHost, 0)); }

    void init() { connectPair(); }

    void cleanup()
    {
        delete client;
        delete peer;
        client = peer = nullptr;
    }

    void readsExactlyNInPieces()
    {
        SetSocketReadTimeout(client, 2000);
        peerSends("0123456789ABCDEF");
        QByteArray got;
        QVERIFY(ReceiveBuffer_TIdBytes_Size(client, got, 10));
        QCOMPARE(got, QByteArray("0123456789"));
        QVERIFY(ReceiveBuffer_TIdBytes_Size(client, got, 6));
        QCOMPARE(got, QByteArray("ABCDEF"));
        QVERIFY(ReceiveBuffer_TIdBytes_Size(client, got, 0));
        QVERIFY(got.isEmpty());
    }

    void stalledPeerTimesOut()
    {
        SetSocketReadTimeout(client, 200);
        QCOMPARE(SocketReadTimeout(client), 200);
        peerSends("12345");
        QByteArray got;
        QElapsedTimer t;
        t.start();
        QVERIFY(!ReceiveBuffer_TIdBytes_Size(client, got, 10));
        QVERIFY(t.elapsed() < 3000);
        QCOMPARE(got, QByteArray("12345")); // what did arrive is kept for logging
    }

    void peerClosingEarlyFails()
    {
        SetSocketReadTimeout(client, 3000);
        peerSends("abc");
        peer->disconnectFromHost();
        QByteArray got;
        QVERIFY(!ReceiveBuffer_TIdBytes_Size(client, got, 10));
        QCOMPARE(got, QByteArray("abc"));
    }

    void bytesWaitingAfterCloseAreStillRead()
    {
        SetSocketReadTimeout(client, 2000);
        peerSends("whole");
        peer->disconnectFromHost();
        QTest::qWait(50);
        QByteArray got;
        QVERIFY(ReceiveBuffer_TIdBytes_Size(client, got, 5));
        QCOMPARE(got, QByteArray("whole"));
    }

    void sendsEverything()
    {
        QByteArray big(1 << 20, 'x');
        for (int i = 0; i < big.size(); i += 997)
            big[i] = char(i);
        // The peer reads while the client writes; with a large buffer this needs no thread.
        QVERIFY(SendBuffer_TIdBytes(client, big.left(60000)));
        QByteArray got;
        SetSocketReadTimeout(peer, 2000);
        QVERIFY(ReceiveBuffer_TIdBytes_Size(peer, got, 60000));
        QCOMPARE(got, big.left(60000));
    }

    void clearAndDisconnect()
    {
        peerSends("stale");
        QVERIFY(client->waitForReadyRead(2000));
        ClearInputBuffer(client);
        QCOMPARE(client->bytesAvailable(), 0);
        Disconnect(client);
        QCOMPARE(client->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(!SendBuffer_TIdBytes(client, "x"));
        QByteArray got;
        QVERIFY(!ReceiveBuffer_TIdBytes_Size(client, got, 1));
        Disconnect(client); // twice is harmless
    }

    void refusedConnection()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        QTcpSocket s;
        QVERIFY(!ConnectSocket(&s, "127.0.0.1", port, 1000));
        QVERIFY(!SendBuffer_TIdBytes(nullptr, "x"));
    }
};

QTEST_GUILESS_MAIN(TestQuorvalNet)
#include "tst_quorval_net.moc"
