#pragma once
// The controller database of the simulated centre server: for every intersection
// it keeps each block of the controller (in the controller's byte layout) and a
// 2,048-entry event-history ring, and answers the transfer requests from them.
//
//   Downloads whose data the centre server supplies (160, 64, 192, 164, 168, 180,
//   196, 202, 208, 212, and 176 and 188 with their selector byte) read the
//   intersection's rows from the centre database with the console's own readers
//   (transfer/TransferReaders.h) and store the block or the selected part.
//   Payload downloads (82 option board, 98 extended command, 218 network and 220
//   actuated variables / UPS) store their payload.
//   Uploads answer from the store with the block sizes of the controller type; the
//   event-history upload (option board kind 4) answers the history information or
//   up to ten entries of the ring from a start index on, running on from entry 2048
//   to entry 1.
//
// The controller type comes from SCS_M_INTLC. A selector or a size that the
// controller type does not have is kept as a protocol error and refused (status
// byte 0 where the request has one); nothing is stored for it.
//
// Commands (through RcSim::execCommand, "db ..."):
//   db get <lc> <block>          the block in hexadecimal
//   db set <lc> <block> <hex>    replaces a block (exactly its size)
//   db type <lc>                 the controller type (2004, 3L, 4L)
//   db errors                    the protocol errors kept so far
//   db clear                     forgets every controller and protocol error
//   db seed <file>               runs the "db set" lines of a seed file
// A seed file holds such command lines; blank lines and lines starting with '#'
// are skipped.
#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "foundation/TypeUnit.h"

namespace rcsim {

class RcSim;

// Where the centre database lies (MariaDB).
struct CtrlDbSource
{
    QString database;
    QString host = QStringLiteral("127.0.0.1");
    int port = 3306;
    QString socket; // used instead of host and port when set
    QString user;
    QString password;
};

class ControllerDb
{
public:
    explicit ControllerDb(const CtrlDbSource &source);
    ~ControllerDb();
    ControllerDb(const ControllerDb &) = delete;
    ControllerDb &operator=(const ControllerDb &) = delete;

    // Installs the transfer handlers and the "db" commands on a simulator. The
    // controller database must outlive the simulator's run.
    void install(RcSim &sim);

    // The names of the blocks, and a block's size for a controller type.
    static QStringList blockNames();
    static int blockSize(const QString &name, TLcTypeEx type);

    // A stored block (zeroed at its size before anything was stored; empty for an
    // unknown name).
    QByteArray block(int lcNo, const QString &name);
    bool setBlock(int lcNo, const QString &name, const QByteArray &bytes, QString *error = nullptr);
    TLcTypeEx controllerType(int lcNo);

    QStringList protocolErrors() const;
    void clear();
    bool loadSeed(const QString &file, QString *error = nullptr);

    // A "db ..." command (words[0] == "db"); false when the words are no such command.
    bool command(const QStringList &words, QString *answer, bool *ok);

private:
    struct Controller
    {
        TLcTypeEx type = lct2004;
        QMap<QString, QByteArray> blocks;
    };
    Controller &controller(int lcNo); // mutex held
    QSqlDatabase connection();        // of the calling thread
    void protocolError(int lcNo, int opcode, const QString &why);

    friend struct ControllerDbHandlers;
    CtrlDbSource FSource;
    mutable QMutex FMutex;
    QMap<int, Controller> FControllers;
    QStringList FProtocolErrors;
    QStringList FConnections;
};

} // namespace rcsim
