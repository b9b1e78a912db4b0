// Operators' passwords and the console's start against a careless installation: the
// key file is private (created so, a readable one refused at start), a stored
// password opens only for its own operator (rows swapped between operators do not
// log in), a password is stored and logs in exactly as typed (blanks included), the
// password tool never takes a password from its command line, and a missing or
// incomplete settings file ends the console with a message that names it.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untLogin.h"
#include "core/untStartup.h"
#include "foundation/JsEscape.h"
#include "foundation/QuorvalCipher.h"
#include "TestConsoleFolder.h"
#include "TestDb.h"

namespace {

const char *const kDb = "tst_hardening_core";

int unusedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

QString bin(const char *name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// The boxes a console run logged (SC_MSGDLG_LOG): kind, title, text, caption, detail.
QList<QStringList> boxes(const QString &log)
{
    QFile f(log);
    QList<QStringList> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QString &line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts))
        out << line.split('\t');
    return out;
}

// Runs the console in `dir` with the key file `keyFile`; its exit code.
int runConsole(const QString &dir, const QString &keyFile, const QString &log)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("SC_APP_DIR", dir);
    e.insert("SC_MSGDLG_LOG", log);
    e.insert("SC_PASSWORD_KEY_FILE", keyFile);
    e.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(e);
    p.start(bin("signal-console"), {});
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

QString tdm(const char *key) { return siText(QStringLiteral("TDM"), QLatin1String(key)); }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

int modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class TstHardeningCore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
    }
    void cleanup()
    {
        ResetPasswordKey();
        DM = nullptr;
    }

    // --- the cipher and its key file ----------------------------------------------

    // A stored text opens only for the operator it was written for: rows swapped
    // between operators (or copied to another identifier) are refused.
    void cipherIsBoundToItsOperator()
    {
        SetPasswordKey(GeneratePasswordKey());
        const QString adminText = Encrypt("admin", "admin1234");
        for (const QString &other : {QString("operator"), QString("Admin"), QString("admin "),
                                     QString(""), QString("admin2")}) {
            QString pw, err;
            QVERIFY2(!TryDecrypt(other, adminText, &pw, &err), qPrintable(other));
            QVERIFY(pw.isEmpty());
            QVERIFY2(err.contains("operator"), qPrintable(err));
        }
        QCOMPARE(Decrypt("admin", adminText), QString("admin1234"));
        // The older form, not bound to an operator, is no longer accepted.
        QString err;
        QVERIFY(!TryDecrypt("admin", "SC1:" + adminText.mid(4), nullptr, &err));
        QVERIFY2(err.contains("older form"), qPrintable(err));
    }

    // Key files are created for their owner only and never replaced; the check
    // of the console tells a private file from one others may read.
    void keyFileIsCreatedPrivate()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("new.key");
        const mode_t old = ::umask(0); // the widest umask: the mode must still be 0600
        QString err;
        const bool ok = WritePasswordKeyFile(file, GeneratePasswordKey(), &err);
        ::umask(old);
        QVERIFY2(ok, qPrintable(err));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), 0600);
        QString perms;
        QVERIFY(PasswordKeyFileIsPrivate(file, &perms));
        QCOMPARE(perms, QString("0600"));
        QByteArray key;
        QVERIFY(LoadPasswordKeyFile(file, &key));
        QCOMPARE(key.size(), PasswordKeySize);
        // Never replaced.
        QVERIFY(!WritePasswordKeyFile(file, GeneratePasswordKey(), &err));
        QVERIFY2(err.contains("new.key"), qPrintable(err));
        QByteArray again;
        QVERIFY(LoadPasswordKeyFile(file, &again));
        QCOMPARE(again, key);

        const struct { int mode; bool privateFile; } cases[] = {
            {0600, true}, {0400, true}, {0640, false}, {0644, false}, {0604, false}, {0660, false}, {0610, false}};
        for (const auto &c : cases) {
            QVERIFY(::chmod(QFile::encodeName(file).constData(), mode_t(c.mode)) == 0);
            QString p;
            QCOMPARE(PasswordKeyFileIsPrivate(file, &p), c.privateFile);
            QCOMPARE(p, QString("%1").arg(c.mode, 4, 8, QLatin1Char('0')));
        }
    }


    // pwtool: a new key file is private; the password comes from standard input
    // (blanks kept), never from the command line.
    void passwordToolReadsStandardInput()
    {
        QTemporaryDir dir;
        const QString key = dir.filePath("tool.key");
        QProcess gen;
        gen.start(bin("pwtool"), {"genkey", key});
        QVERIFY(gen.waitForFinished(30000));
        QCOMPARE(gen.exitCode(), 0);
        QCOMPARE(modeOf(key), 0600);
        QProcess again;
        again.start(bin("pwtool"), {"genkey", key});
        QVERIFY(again.waitForFinished(30000));
        QCOMPARE(again.exitCode(), 1); // never overwritten

        QProcess enc;
        enc.start(bin("pwtool"), {"encrypt", key, "admin"});
        QVERIFY(enc.waitForStarted());
        enc.write("  pass word \n");
        enc.closeWriteChannel();
        QVERIFY(enc.waitForFinished(30000));
        QCOMPARE(enc.exitCode(), 0);
        const QString stored = QString::fromUtf8(enc.readAllStandardOutput()).trimmed();
        QVERIFY(stored.startsWith("SC2:"));
        SetPasswordKeyFile(key);
        QCOMPARE(Decrypt("admin", stored), QString("  pass word "));
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Decrypt("operator", stored));

        QProcess dec;
        dec.start(bin("pwtool"), {"decrypt", key, "admin", stored});
        QVERIFY(dec.waitForFinished(30000));
        QCOMPARE(dec.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(dec.readAllStandardOutput()), QString("  pass word \n"));

        // A password on the command line is a usage error, and nothing is printed.
        QProcess arg;
        arg.start(bin("pwtool"), {"encrypt", key, "admin", "secret"});
        QVERIFY(arg.waitForFinished(30000));
        QCOMPARE(arg.exitCode(), 2);
        QVERIFY(arg.readAllStandardOutput().isEmpty());
        // No password on standard input: refused.
        QProcess none;
        none.start(bin("pwtool"), {"encrypt", key, "admin"});
        QVERIFY(none.waitForStarted());
        none.closeWriteChannel();
        QVERIFY(none.waitForFinished(30000));
        QCOMPARE(none.exitCode(), 1);
    }

    // The demo city's operators are stored in the bound form and open with the demo key.
    void demoPasswordsAreBoundToTheirOperators()
    {
        const QString db = TestDb::sourceDir() + "/db/mariadb/";
        SetPasswordKeyFile(db + "demo.key");
        QFile f(db + "demo-passwords.sql");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString sql = QString::fromUtf8(f.readAll());
        const QRegularExpression re("USER_PW = '([^']+)' WHERE USER_ID = '([^']+)'");
        int rows = 0;
        for (auto it = re.globalMatch(sql); it.hasNext();) {
            const auto m = it.next();
            ++rows;
            QVERIFY(m.captured(1).startsWith("SC2:"));
            QVERIFY(TryDecrypt(m.captured(2), m.captured(1), nullptr));
            QVERIFY(!TryDecrypt(m.captured(2) == "admin" ? "operator" : "admin", m.captured(1), nullptr));
        }
        QCOMPARE(rows, 4);
    }

    // --- numbers put into page scripts ------------------------------------------------

    // A stored coordinate goes into a script only as a finite number; anything else
    // gives the fallback (0 by default), as JsNum does for NaN and infinities.
    void jsNumTextIsFiniteOrFallback_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("script");
        QTest::newRow("decimal") << "37.5140" << "37.5140";
        QTest::newRow("negative, blanks") << " -127.5 " << "-127.5";
        QTest::newRow("exponent") << "1e-3" << "1e-3";
        QTest::newRow("too large") << "1e999" << "0";
        QTest::newRow("too large negative") << "-1e400" << "0";
        QTest::newRow("four hundred nines") << QString(400, '9') << "0";
        QTest::newRow("infinity word") << "Infinity" << "0";
        QTest::newRow("not a number") << "NaN" << "0";
        QTest::newRow("script") << "1);alert(1" << "0";
        QTest::newRow("comma decimal") << "37,5" << "0";
    }
    void jsNumTextIsFiniteOrFallback()
    {
        QFETCH(QString, text);
        QFETCH(QString, script);
        QCOMPARE(JsNumText(text), script);
        if (script == "0")
            QCOMPARE(JsNumText(text, QString()), QString()); // callers that test for "no number"
    }

    // --- the login ------------------------------------------------------------------

    // A stored text copied from another operator's row does not log in, neither with
    // that operator's password nor with the row's own.
    void swappedPasswordIsRefusedAtLogin()
    {
        QVERIFY(TestDb::create(kDb, true));
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
        TestConsole::Folder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY(dm.DataModuleCreate());
        QSqlDatabase raw = TestDb::open(kDb, "hardening_raw");
        QVERIFY(QSqlQuery(raw).exec("UPDATE SCS_M_USER SET USER_PW = (SELECT p FROM (SELECT USER_PW AS p FROM"
                                    " SCS_M_USER WHERE USER_ID = 'operator') o) WHERE USER_ID = 'admin'"));
        for (const char *typed : {"oper1234", "admin1234"}) {
            TfrmLogin login;
            login.UserIdEdit()->setText("admin");
            login.PasswordEdit()->setText(QString::fromLatin1(typed));
            login.btnLoginClick();
            QVERIFY2(login.result() != int(QDialog::Accepted), typed);
            QCOMPARE(boxes.last().detail, QString::fromUtf8("사용자 암호를 확인바랍니다."));
        }
        // The operator whose text it was still logs in with it.
        TfrmLogin login;
        login.UserIdEdit()->setText("operator");
        login.PasswordEdit()->setText("oper1234");
        login.btnLoginClick();
        QCOMPARE(login.result(), int(QDialog::Accepted));
        raw.close();
    }

    // A password with blanks around it is stored as typed and logs in as typed only.
    void passwordWithBlanksLogsInAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("as typed") << "  pass word " << true;
        QTest::newRow("trimmed") << "pass word" << false;
        QTest::newRow("blanks dropped at the end") << "  pass word" << false;
        QTest::newRow("more blanks") << "  pass word  " << false;
    }
    void passwordWithBlanksLogsInAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QVERIFY(TestDb::create(kDb, true));
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
        TestConsole::Folder folder(kDb);
        ScriptedMsgDlg boxes;
        TDM dm(folder.path(), "signal-console");
        DM = &dm;
        QVERIFY(dm.DataModuleCreate());
        QSqlDatabase raw = TestDb::open(kDb, "hardening_raw");
        QSqlQuery q(raw);
        q.prepare("UPDATE SCS_M_USER SET USER_PW = ?, USER_UPDATE = NOW(), USER_CHECK = 6 WHERE USER_ID = 'police'");
        q.addBindValue(Encrypt("police", "  pass word "));
        QVERIFY(q.exec());
        TfrmLogin login;
        login.UserIdEdit()->setText("police");
        login.PasswordEdit()->setText(typed);
        login.btnLoginClick();
        QCOMPARE(login.result() == int(QDialog::Accepted), accepted);
        if (accepted) {
            QCOMPARE(dm.G_APP_USER.Pass, typed);
            QCOMPARE(boxes.count(), 0);
        } else {
            QCOMPARE(boxes.last().detail, QString::fromUtf8("사용자 암호를 확인바랍니다."));
        }
        raw.close();
    }

    // --- the console's start --------------------------------------------------------

    // A key file that others can read: the console refuses to start (before the
    // database and the login) and says why; a private one lets it go on.
    void readableKeyFileIsRefused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("refused");
        QTest::newRow("0600") << 0600 << false;
        QTest::newRow("0400") << 0400 << false;
        QTest::newRow("0644") << 0644 << true;
        QTest::newRow("0640") << 0640 << true;
        QTest::newRow("0604") << 0604 << true;
    }
    void readableKeyFileIsRefused()
    {
        QFETCH(int, mode);
        QFETCH(bool, refused);
        // The database is unreachable: a console that gets past the key check ends
        // with the connection box.
        TestConsole::Folder folder("none", "[COM-ENV]\nDB_CONNECTION_TIMEOUT=1\n", unusedPort());
        const QString key = folder.dir.filePath("signal-console.key");
        QFile::copy(TestDb::sourceDir() + "/db/mariadb/demo.key", key);
        QCOMPARE(::chmod(QFile::encodeName(key).constData(), mode_t(mode)), 0);
        const QString log = folder.dir.filePath("run.log");
        QCOMPARE(runConsole(folder.path(), key, log), 1);
        const QList<QStringList> b = boxes(log);
        QCOMPARE(b.size(), 1);
        QCOMPARE(b.at(0).value(0), QString::number(int(mkError)));
        if (refused) {
            QCOMPARE(b.at(0).value(2), tdm("strKeyFileOpen") + "\\n" + key);
            QCOMPARE(b.at(0).value(3), tdm("strKeyFileCaption"));
            QCOMPARE(b.at(0).value(4), QString("%1").arg(mode, 4, 8, QLatin1Char('0')));
        } else {
            QCOMPARE(b.at(0).value(2), tdm("IDS_1"));
        }
    }

    void keyFileTextsInBothLanguages()
    {
        auto *d = TsiLangDispatcher::instance();
        QCOMPARE(d->TextIn("TDM", "strKeyFileOpen", 1),
                 QString::fromUtf8("암호 키 파일을 다른 사용자도 읽을 수 있어 프로그램을 종료합니다. "
                                   "소유자만 읽도록 권한을 바꾸십시오(chmod 600)."));
        QCOMPARE(d->TextIn("TDM", "strKeyFileOpen", 2),
                 QString("The password key file can be read by other users; the program is terminated. "
                         "Make it readable by its owner only (chmod 600)."));
        QCOMPARE(d->TextIn("TDM", "strSettingsMissing", 1),
                 QString::fromUtf8("설정 파일이 없거나 불완전하여 프로그램을 종료합니다."));
        QCOMPARE(d->TextIn("TDM", "strSettingsMissing", 2),
                 QString("The settings file is missing or incomplete; the program is terminated."));
    }

    // No settings file, or one that names no database (a stub left by an older
    // run): the console names the file, says it is missing or incomplete, and
    // ends without trying a database or writing anything.
    void missingOrIncompleteSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("ini"); // empty: no file
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << "strSettingsNoFile";
        QTest::newRow("stub of languages only")
            << QByteArray("[L10N]\nSIL_FILE=signal-console.sil\nLANGUAGE=Korean\n") << "strSettingsNoDb";
        QTest::newRow("empty file") << QByteArray("\n") << "strSettingsNoDb";
    }
    void missingOrIncompleteSettingsFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("res")));
        QVERIFY(QFile::copy(TestConsole::LanguageFile(), dir.filePath("res/signal-console.sil")));
        const QString iniFile = dir.filePath("signal-console.ini");
        if (!ini.isEmpty())
            writeFile(iniFile, ini);
        QCOMPARE(CheckSettingsFile(iniFile),
                 ini.isEmpty() ? TSettingsFileState::Missing : TSettingsFileState::Incomplete);
        const QString log = dir.filePath("run.log");
        QCOMPARE(runConsole(dir.path(), dir.filePath("none.key"), log), 1);
        const QList<QStringList> b = boxes(log);
        QCOMPARE(b.size(), 1);
        QCOMPARE(b.at(0).value(0), QString::number(int(mkError)));
        QCOMPARE(b.at(0).value(1), tdm("strAPP_TITLE"));
        QCOMPARE(b.at(0).value(2), tdm("strSettingsMissing") + "\\n" + iniFile);
        QCOMPARE(b.at(0).value(3), tdm("strSettingsCaption"));
        QCOMPARE(b.at(0).value(4), tdm(reason.toLatin1().constData()));
        // Nothing was written: no stub.
        QCOMPARE(QFile::exists(iniFile), !ini.isEmpty());
        if (!ini.isEmpty()) {
            QFile f(iniFile);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), ini);
        }
    }

    void completeSettingsFiles_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("type") << QByteArray("[DBMS]\nDBMS_TYPE=MARIADB\n");
        QTest::newRow("oracle section alone") << QByteArray("[ORACLE]\nSERVER=10.0.0.1\n");
        QTest::newRow("mariadb section alone") << QByteArray("[MARIADB]\nSERVER=10.0.0.1\n");
    }
    void completeSettingsFiles()
    {
        QFETCH(QByteArray, ini);
        QTemporaryDir dir;
        writeFile(dir.filePath("s.ini"), ini);
        QCOMPARE(CheckSettingsFile(dir.filePath("s.ini")), TSettingsFileState::Complete);
    }
};

QTEST_MAIN(TstHardeningCore)
#include "tst_hardening_core.moc"
