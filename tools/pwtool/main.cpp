// pwtool: the operator password cipher on the command line.
//   pwtool encrypt KEYFILE PASSWORD   prints the text stored in SCS_M_USER.USER_PW
//   pwtool decrypt KEYFILE STORED     prints the password
//   pwtool genkey KEYFILE             writes a new random key file (refuses to overwrite)
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

#include "foundation/QuorvalCipher.h"

static int usage()
{
    std::fputs("usage: pwtool encrypt KEYFILE PASSWORD\n"
               "       pwtool decrypt KEYFILE STORED\n"
               "       pwtool genkey KEYFILE\n",
               stderr);
    return 2;
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
            if (QFile::exists(keyFile)) {
                std::fprintf(stderr, "pwtool: %s exists; not overwritten\n", qPrintable(keyFile));
                return 1;
            }
            QFile f(keyFile);
            if (!f.open(QIODevice::WriteOnly)) {
                std::fprintf(stderr, "pwtool: cannot write %s\n", qPrintable(keyFile));
                return 1;
            }
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            f.write(PasswordKeyFileText(GeneratePasswordKey()));
            return 0;
        }
        if (a.size() != 4)
            return usage();
        SetPasswordKeyFile(keyFile);
        if (cmd == QLatin1String("encrypt")) {
            out << Encrypt(a.at(3)) << Qt::endl;
            return 0;
        }
        if (cmd == QLatin1String("decrypt")) {
            out << Decrypt(a.at(3)) << Qt::endl;
            return 0;
        }
    } catch (const EUtilityError &e) {
        std::fprintf(stderr, "pwtool: %s\n", e.what());
        return 1;
    }
    return usage();
}
