// pwtool: the operator password cipher on the command line.
//   pwtool encrypt KEYFILE USER_ID          reads the password from standard input (one
//                                           line; only its line end is removed, blanks
//                                           stay) and prints the text stored in
//                                           SCS_M_USER.USER_PW for that operator
//   pwtool decrypt KEYFILE USER_ID STORED   prints the password of that operator
//   pwtool genkey KEYFILE                   writes a new random key file, mode 0600
//                                           (refuses to overwrite)
// A password is never taken from the command line: other users can read it there.
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

#include "foundation/QuorvalCipher.h"

static int usage()
{
    std::fputs("usage: pwtool encrypt KEYFILE USER_ID < password\n"
               "       pwtool decrypt KEYFILE USER_ID STORED\n"
               "       pwtool genkey KEYFILE\n",
               stderr);
    return 2;
}

// One line of standard input without its line end (CR LF or LF).
static bool readPasswordLine(QByteArray *line)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return false;
    QByteArray l = in.readLine(4096);
    if (l.isEmpty() && in.atEnd())
        return false;
    if (l.endsWith('\n'))
        l.chop(1);
    if (l.endsWith('\r'))
        l.chop(1);
    *line = l;
    return true;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 3)
        return usage();
    const QString cmd = a.at(1);
    const QString keyFile = a.at(2);
    QTextStream out(stdout);
    try {
        if (cmd == QLatin1String("genkey") && a.size() == 3) {
            QString error;
            if (!WritePasswordKeyFile(keyFile, GeneratePasswordKey(), &error)) {
                std::fprintf(stderr, "pwtool: %s\n", qPrintable(error));
                return 1;
            }
            return 0;
        }
        if (cmd == QLatin1String("encrypt") && a.size() == 4) {
            SetPasswordKeyFile(keyFile);
            QByteArray line;
            if (!readPasswordLine(&line)) {
                std::fputs("pwtool: no password on standard input\n", stderr);
                return 1;
            }
            out << Encrypt(a.at(3), QString::fromUtf8(line)) << Qt::endl;
            return 0;
        }
        if (cmd == QLatin1String("decrypt") && a.size() == 5) {
            SetPasswordKeyFile(keyFile);
            out << Decrypt(a.at(3), a.at(4)) << Qt::endl;
            return 0;
        }
    } catch (const EUtilityError &e) {
        std::fprintf(stderr, "pwtool: %s\n", e.what());
        return 1;
    }
    return usage();
}
