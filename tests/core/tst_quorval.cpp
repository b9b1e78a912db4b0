// The utility library without network or database: message boxes, values, bit
// fields, colours, CRC-32, SQL dialect texts, the password cipher, CP949 texts,
// periods, workbook opening and drawing helpers.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

#include "foundation/Cp949.h"
#include "core/Quorval.h"

Q_DECLARE_METATYPE(TDBType)

class TestQuorval : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        ResetPasswordKey();
        qunsetenv("SC_PASSWORD_KEY_FILE");
        SetFileOpener(nullptr);
    }

    // -------------------------------------------------------------- message boxes

    void scriptedAnswersAndRecords()
    {
        ScriptedMsgDlg dlg;
        dlg.enqueue({mrYes, mrNo});
        QCOMPARE(ShowMsgDlg(nullptr, "App", "Delete?", "Confirm", "", mkQuestion), mrYes);
        // Boxes that are not questions take no answer from the queue.
        QCOMPARE(ShowMsgDlg(nullptr, "App", "Saved.", "Save", "", mkInformation), mrOk);
        QCOMPARE(ShowMsgDlg(nullptr, "App", "Failed", "Save", "ORA-00001", mkError), mrOk);
        QCOMPARE(ShowMsgDlg(nullptr, "App", "Again?", "Confirm", "", mkQuestion), mrNo);
        // Empty queue: the careful default.
        QCOMPARE(ShowMsgDlg(nullptr, "App", "Third?", "Confirm", "", mkQuestion), mrNo);
        dlg.setDefaultAnswer(mrCancel);
        QCOMPARE(ShowMsgDlg(nullptr, "App", "Fourth?", "Confirm", "", mkQuestion), mrCancel);

        QCOMPARE(dlg.count(), 6);
        const TMsgDlgRequest err = dlg.requests().at(2);
        QCOMPARE(err.kind, mkError);
        QCOMPARE(err.text, QString("Failed"));
        QCOMPARE(err.caption, QString("Save"));
        QCOMPARE(err.detail, QString("ORA-00001"));
        QCOMPARE(err.title, QString("App"));
        QCOMPARE(dlg.last().text, QString("Fourth?"));
    }

    void scriptedResponderAndNesting()
    {
        ScriptedMsgDlg outer;
        outer.enqueue(mrYes);
        {
            ScriptedMsgDlg inner;
            inner.setResponder([](const TMsgDlgRequest &r) { return r.text == "x" ? mrYes : -1; });
            QCOMPARE(ShowMsgDlg(nullptr, "", "x", "", "", mkQuestion), mrYes);
            QCOMPARE(ShowMsgDlg(nullptr, "", "y", "", "", mkQuestion), mrNo);
            QCOMPARE(inner.count(), 2);
        }
        // The outer answerer is back after the inner one is gone.
        QCOMPARE(CurrentMsgDlgService(), static_cast<TMsgDlgService *>(&outer));
        QCOMPARE(ShowMsgDlg(nullptr, "", "z", "", "", mkQuestion), mrYes);
        QCOMPARE(outer.count(), 1);
        outer.uninstall();
        QVERIFY(CurrentMsgDlgService() != static_cast<TMsgDlgService *>(&outer));
    }

    void answerOutsideTheQuestionSetIsClosed()
    {
        ScriptedMsgDlg dlg;
        dlg.enqueue(42);
        QCOMPARE(ShowMsgDlg(nullptr, "", "q", "", "", mkQuestion), mrCancel);
    }

    void defaultServiceShowsAMessageBox_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("answer");
        QTest::newRow("question yes") << int(mkQuestion) << "yes" << mrYes;
        QTest::newRow("question no") << int(mkQuestion) << "no" << mrNo;
        QTest::newRow("question closed") << int(mkQuestion) << "close" << mrCancel;
        QTest::newRow("warning") << int(mkWarning) << "ok" << mrOk;
        QTest::newRow("error") << int(mkError) << "ok" << mrOk;
    }

    void defaultServiceShowsAMessageBox()
    {
        QFETCH(int, kind);
        QFETCH(QString, click);
        QFETCH(int, answer);
        QVERIFY(CurrentMsgDlgService() != nullptr);
        QString seenTitle, seenText, seenInfo, seenDetail;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer.stop();
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenInfo = box->informativeText();
            seenDetail = box->detailedText();
            seenIcon = box->icon();
            if (click == "yes")
                box->button(QMessageBox::Yes)->click();
            else if (click == "no")
                box->button(QMessageBox::No)->click();
            else if (click == "ok")
                box->button(QMessageBox::Ok)->click();
            else
                box->reject();
        });
        timer.start();
        const int r = ShowMsgDlg(nullptr, "Console", "The message", "The caption", "The detail",
                                 TMsgDlgKind(kind));
        QCOMPARE(r, answer);
        QCOMPARE(seenTitle, QString("Console"));
        QCOMPARE(seenText, QString("The caption"));
        QCOMPARE(seenInfo, QString("The message"));
        QCOMPARE(seenDetail, QString("The detail"));
        const QMessageBox::Icon icons[] = {QMessageBox::Question, QMessageBox::Warning,
                                           QMessageBox::Critical, QMessageBox::Information};
        QCOMPARE(seenIcon, icons[kind]);
    }

    void defaultServiceFromAWorkerThread()
    {
        // A worker thread's box is shown on the user-interface thread and its answer returned.
        QTimer timer;
        timer.setInterval(20);
        Qt::HANDLE shownOn = nullptr;
        connect(&timer, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer.stop();
            shownOn = QThread::currentThreadId();
            box->button(QMessageBox::Yes)->click();
        });
        timer.start();
        std::atomic<int> answer{-1};
        QThread *worker = QThread::create([&answer] {
            answer = ShowMsgDlg(nullptr, "Console", "From a worker", "Caption", "", mkQuestion);
        });
        worker->start();
        QTRY_COMPARE_WITH_TIMEOUT(answer.load(), mrYes, 5000);
        worker->wait();
        delete worker;
        QCOMPARE(shownOn, QThread::currentThreadId());
    }

    // ------------------------------------------------------------------ values

    void varToIntDef_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("invalid") << QVariant() << -1;
        QTest::newRow("null int") << QVariant(QMetaType(QMetaType::Int)) << -1;
        QTest::newRow("empty text") << QVariant(QString()) << -1;
        QTest::newRow("blank text") << QVariant(QString("   ")) << -1;
        QTest::newRow("int") << QVariant(42) << 42;
        QTest::newRow("negative text") << QVariant(QString("-7")) << -7;
        QTest::newRow("padded text") << QVariant(QString(" 12 ")) << 12;
        QTest::newRow("decimal text") << QVariant(QString("12.5")) << -1;
        QTest::newRow("word") << QVariant(QString("abc")) << -1;
        QTest::newRow("whole double") << QVariant(3.0) << 3;
        QTest::newRow("fraction double") << QVariant(3.5) << -1;
        QTest::newRow("too big") << QVariant(qlonglong(1) << 40) << -1;
        QTest::newRow("too big text") << QVariant(QString("99999999999")) << -1;
        QTest::newRow("bool") << QVariant(true) << 1;
        QTest::newRow("bytes") << QVariant(QByteArray("15")) << 15;
    }

    void varToIntDef()
    {
        QFETCH(QVariant, value);
        QFETCH(int, expected);
        QCOMPARE(VarToIntDef(value, -1), expected);
    }

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sep");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("empty") << "" << "," << QStringList();
        QTest::newRow("no separator") << "abc" << "," << QStringList{"abc"};
        QTest::newRow("inner empty kept") << "a,,b" << "," << QStringList{"a", "", "b"};
        QTest::newRow("trailing") << "a," << "," << QStringList{"a", ""};
        QTest::newRow("leading") << ",a" << "," << QStringList{"", "a"};
        QTest::newRow("multi-char") << "1::2::3" << "::" << QStringList{"1", "2", "3"};
        QTest::newRow("korean") << "가;나" << ";" << QStringList{"가", "나"};
    }

    void split()
    {
        QFETCH(QString, text);
        QFETCH(QString, sep);
        QFETCH(QStringList, parts);
        QCOMPARE(Split(text, sep), parts);
        if (sep.size() == 1)
            QCOMPARE(Split(text, sep.at(0)), parts);
    }

    void iifAndByteText()
    {
        QCOMPARE(IIF(true, 1, 2), 1);
        QCOMPARE(IIF(false, QString("a"), QString("b")), QString("b"));
        QCOMPARE(IIF(true, "Y", "N"), QString("Y"));
        QCOMPARE(GetByteToStr(5, 1), QString("5"));
        QCOMPARE(GetByteToStr(12, 1), QString("12"));
        QCOMPARE(GetByteToStr(5, 2), QString("05"));
        QCOMPARE(GetByteToStr(255, 1), QString("255"));
    }

    // -------------------------------------------------------------- bit fields

    void byteBitFields_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("read");
        QTest::addColumn<int>("write");
        QTest::addColumn<int>("after");
        QTest::newRow("1793 bit 7 set") << 1793 << 0x80 << 1 << 0 << 0x00;
        QTest::newRow("1793 keeps others") << 1793 << 0x7F << 0 << 1 << 0xFF;
        QTest::newRow("7 bits 0..6") << 7 << 0xD5 << 0x55 << 0x2A << 0xAA;
        QTest::newRow("4 bits 0..3") << 4 << 0xAB << 0x0B << 0x05 << 0xA5;
        QTest::newRow("1028 bits 4..7") << 1028 << 0xAB << 0x0A << 0x03 << 0x3B;
        QTest::newRow("1027 bits 4..6") << 1027 << 0xF0 << 0x07 << 0x00 << 0x80;
        QTest::newRow("258 bits 1..2") << 258 << 0x06 << 3 << 1 << 0x02;
        QTest::newRow("1 bit 0") << 1 << 0x01 << 1 << 0 << 0x00;
        QTest::newRow("value cut to width") << 4 << 0x00 << 0 << 0x1F << 0x0F;
        QTest::newRow("width past top") << 1540 << 0xC0 << 3 << 0 << 0x00; // bits 6..7 only
        QTest::newRow("width 0") << 512 << 0xFF << 0 << 0 << 0xFF;
    }

    void byteBitFields()
    {
        QFETCH(int, index);
        QFETCH(int, byte);
        QFETCH(int, read);
        QFETCH(int, write);
        QFETCH(int, after);
        QCOMPARE(int(GetBitsByOneByte(quint8(byte), index)), read);
        QCOMPARE(int(SetBitsToOneByte(quint8(byte), index, quint8(write))), after);
    }

    void wordBitFields()
    {
        QCOMPARE(GetBitsByOneWord(0x8000, BitFieldIndex(15, 1)), quint16(1));
        QCOMPARE(GetBitsByOneWord(0xABCD, BitFieldIndex(4, 8)), quint16(0xBC));
        QCOMPARE(SetBitsToOneWord(0xABCD, BitFieldIndex(4, 8), 0x12), quint16(0xA12D));
        QCOMPARE(SetBitsToOneWord(0x0000, BitFieldIndex(12, 4), 0xFFFF), quint16(0xF000));
        QCOMPARE(GetBitsByOneWord(0xFFFF, BitFieldIndex(0, 16)), quint16(0xFFFF));
    }

    // ------------------------------------------------------------------ colours

    void colours()
    {
        QCOMPARE(TColorToHex(QColor(255, 0, 0)), QString("FF0000"));
        QCOMPARE(TColorToHex(QColor(0x5B, 0x9B, 0x5B)), QString("5B9B5B"));
        QCOMPARE(TColorToHex(QColor(1, 2, 3)), QString("010203"));
        QCOMPARE(HexToTColor("FF8000"), QColor(255, 128, 0));
        QCOMPARE(HexToTColor("#00ff7f"), QColor(0, 255, 127));
        QVERIFY(!HexToTColor("------").isValid());
        QVERIFY(!HexToTColor("12345").isValid());
        QVERIFY(!HexToTColor("+12345").isValid());
        QCOMPARE(HexToTColor("zz", Qt::black), QColor(Qt::black));
        QCOMPARE(TColorToQColor(0x0000FF), QColor(255, 0, 0)); // blue-high byte order
        QCOMPARE(TColorToQColor(6003547), QColor(0x5B, 0x9B, 0x5B));
        QCOMPARE(QColorToTColor(QColor(0x12, 0x34, 0x56)), quint32(0x563412));
    }

    // ------------------------------------------------------------------- CRC-32

    void crc32OfKnownInputs_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("hex");
        QTest::newRow("check value") << QByteArray("123456789") << "CBF43926";
        QTest::newRow("empty") << QByteArray() << "00000000";
        QTest::newRow("fox") << QByteArray("The quick brown fox jumps over the lazy dog") << "414FA339";
    }

    void crc32OfKnownInputs()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, hex);
        QCOMPARE(CRC32ToHex(GetCRC32Value(data)), hex);
        QTemporaryDir dir;
        const QString file = dir.filePath("fw.bin");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.close();
        QCOMPARE(GetCRC32(file), "$" + hex);
        QCOMPARE(GetCRC32Hex(file), hex);
    }

    void crc32OfMissingFileIsEmpty()
    {
        QCOMPARE(GetCRC32("/nonexistent/fw.bin"), QString());
        QCOMPARE(GetCRC32Hex("/nonexistent/fw.bin"), QString());
    }

    // -------------------------------------------------------------- SQL dialect

    void dialectText_data()
    {
        QTest::addColumn<QString>("oracle");
        QTest::addColumn<QString>("maria");
        QTest::addColumn<int>("which");

        // 0: GetToCharStr select item with alias
        QTest::newRow("to_char item alias")
            << " TO_CHAR(T2.TFDT_CREDATE, 'YY-MM-DD, HH24:MI:SS') AS TFDT_CREDATE, "
            << " DATE_FORMAT(T2.TFDT_CREDATE, '%y-%m-%d, %H:%i:%s') AS TFDT_CREDATE, " << 0;
        QTest::newRow("to_char item column name")
            << " TO_CHAR(T2.INT_CREDATE, 'HH24') AS INT_CREDATE, "
            << " DATE_FORMAT(T2.INT_CREDATE, '%H') AS INT_CREDATE, " << 1;
        QTest::newRow("to_char bare")
            << " TO_CHAR(CREATE_DATE, 'YYYYMMDDHH24MISSFF') "
            << " DATE_FORMAT(CREATE_DATE, '%Y%m%d%H%i%s%f') " << 2;
        QTest::newRow("to_date with and")
            << " TO_DATE(:FROM_DATE, 'YYYYMMDDHH24MISS') AND "
            << " STR_TO_DATE(:FROM_DATE, '%Y%m%d%H%i%s') AND " << 3;
        QTest::newRow("to_timestamp without and")
            << " TO_TIMESTAMP(:YYMMDD2, 'YYYYMMDDHH24MISSFF') "
            << " STR_TO_DATE(:YYMMDD2, '%Y%m%d%H%i%s%f') " << 4;
        QTest::newRow("concat alias")
            << " ('[' || N.NODE_LAT || ',' || N.NODE_LNG || ']') AS LATLNG "
            << " CONCAT_WS('', '[', N.NODE_LAT, ',', N.NODE_LNG, ']') AS LATLNG " << 5;
        QTest::newRow("concat comma no alias")
            << " (A || B), " << " CONCAT_WS('', A, B), " << 6;
        QTest::newRow("cast bare")
            << " CAST(T2.TFDT_SMT AS VARCHAR2(20)) " << " CAST(T2.TFDT_SMT AS CHAR(20)) " << 7;
        QTest::newRow("rownum and")
            << " AND ROWNUM <= 1 " << " AND ROWNUM() <= 1 " << 8;
        QTest::newRow("rownum where")
            << " WHERE ROWNUM <= 100 " << " WHERE ROWNUM() <= 100 " << 9;
        QTest::newRow("column name") << "SSL" << "`SSL`" << 10;
        QTest::newRow("dotted column name") << "T2.SSL" << "`T2`.`SSL`" << 11;
        QTest::newRow("cast item") << " CAST(X AS VARCHAR2(8)) AS XS, " << " CAST(X AS CHAR(8)) AS XS, " << 12;
        QTest::newRow("percent in mask") << " TO_CHAR(D, 'DD\"%\"') " << " DATE_FORMAT(D, '%d%%') " << 13;
    }

    void dialectText()
    {
        QFETCH(QString, oracle);
        QFETCH(QString, maria);
        QFETCH(int, which);
        auto build = [which](TDBType t) -> QString {
            switch (which) {
            case 0: return GetToCharStr(t, "T2.TFDT_CREDATE", false, "TFDT_CREDATE", "YY-MM-DD, HH24:MI:SS");
            case 1: return GetToCharStr(t, "T2.INT_CREDATE", false, "", "HH24");
            case 2: return GetToCharStr(t, "CREATE_DATE", true, "", "YYYYMMDDHH24MISSFF");
            case 3: return GetToDateStr(t, ":FROM_DATE", true, "YYYYMMDDHH24MISS");
            case 4: return GetToDateStr(t, ":YYMMDD2", false, "YYYYMMDDHH24MISSFF");
            case 5: return GetConcat(t, {"'['", "N.NODE_LAT", "','", "N.NODE_LNG", "']'"}, "LATLNG");
            case 6: return GetConcat(t, {"A", "B"}, "", true);
            case 7: return GetCastStr(t, "T2.TFDT_SMT", true, "TFDT_SMT", false, 20);
            case 8: return GetRowNumStr(t, 1, 0);
            case 9: return GetRowNumStr(t, 100, rnfWhere);
            case 10: return GetMariaDBColumName(t, "SSL");
            case 11: return GetMariaDBColumName(t, "T2.SSL");
            case 12: return GetCastStr(t, "X", false, "XS", true, 8);
            case 13: return GetToCharStr(t, "D", true, "", "DD\"%\"");
            }
            return QString();
        };
        QCOMPARE(build(dtOracle), oracle);
        QCOMPARE(build(dtTibero), oracle);
        QCOMPARE(build(dtMariaDB), maria);
    }

    void numbersInSqlIgnoreTheLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
        const QString s = GetRowNumStr(dtMariaDB, 1000, 0);
        const QString c = GetCastStr(dtOracle, "X", true, "", false, 1234);
        QLocale::setDefault(saved);
        QCOMPARE(s, QString(" AND ROWNUM() <= 1000 "));
        QCOMPARE(c, QString(" CAST(X AS VARCHAR2(1234)) "));
    }

    // ------------------------------------------------------------ password cipher

    void cipherRoundTrip_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("ascii") << "admin1234";
        QTest::newRow("korean") << "비밀번호!";
        QTest::newRow("empty") << "";
        QTest::newRow("32 characters") << QString(32, 'x');
        QTest::newRow("blanks kept") << "  pass word ";
    }

    void cipherRoundTrip()
    {
        QFETCH(QString, password);
        SetPasswordKey(GeneratePasswordKey());
        const QString a = Encrypt("admin", password);
        const QString b = Encrypt("admin", password);
        QVERIFY(a.startsWith("SC2:"));
        QVERIFY(a != b); // a fresh nonce each time
        QVERIFY(!a.contains(password) || password.isEmpty());
        QVERIFY(a.size() <= 200); // fits the USER_PW column
        QCOMPARE(Decrypt("admin", a), password);
        QCOMPARE(DecryptByLockBox("admin", b), password);
    }

    void cipherRefusesTamperedText()
    {
        SetPasswordKey(GeneratePasswordKey());
        const QString stored = Encrypt("u1", QString("secret"));
        QByteArray box = QByteArray::fromBase64(stored.mid(4).toLatin1());
        for (int i = 0; i < box.size(); ++i) {
            QByteArray t = box;
            t[i] = char(t[i] ^ 0x01);
            const QString tampered = "SC2:" + QString::fromLatin1(t.toBase64());
            QString pw, err;
            QVERIFY2(!TryDecrypt("u1", tampered, &pw, &err), qPrintable(QString::number(i)));
            QVERIFY(pw.isEmpty());
            QVERIFY(!err.isEmpty());
        }
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Decrypt("u1", stored.left(stored.size() - 4)));
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Decrypt("u1", "SC2:" + stored.mid(4, 20)));
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Decrypt("u1", "secret"));      // plain text
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Decrypt("u1", "SC2:!!!!"));    // not base64
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, DecryptByLockBox("u1", ""));
    }

    void cipherRefusesWrongKey()
    {
        SetPasswordKey(GeneratePasswordKey());
        const QString stored = Encrypt("u1", QString("secret"));
        SetPasswordKey(GeneratePasswordKey());
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Decrypt("u1", stored));
    }

    void keyFilesAndTheirErrors()
    {
        QTemporaryDir dir;
        const QByteArray key = GeneratePasswordKey();
        const QString hexFile = dir.filePath("hex.key");
        const QString rawFile = dir.filePath("raw.key");
        const QString badFile = dir.filePath("bad.key");
        auto write = [](const QString &p, const QByteArray &b) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(b);
        };
        write(hexFile, PasswordKeyFileText(key));
        write(rawFile, key);
        write(badFile, "0123456789abcdef\n");

        SetPasswordKeyFile(hexFile);
        QCOMPARE(PasswordKeyFile(), hexFile);
        const QString stored = Encrypt("u1", QString("pw"));
        SetPasswordKeyFile(rawFile);
        QCOMPARE(Decrypt("u1", stored), QString("pw"));

        SetPasswordKeyFile(badFile);
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Decrypt("u1", stored));

        // A missing key file is a clear error, for enciphering too.
        SetPasswordKeyFile(dir.filePath("missing.key"));
        QString err;
        QVERIFY(!TryDecrypt("u1", stored, nullptr, &err));
        QVERIFY2(err.contains("missing.key"), qPrintable(err));
        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, Encrypt("u1", QString("pw")));

        // The environment names the file when code does not.
        ResetPasswordKey();
        qputenv("SC_PASSWORD_KEY_FILE", hexFile.toLocal8Bit());
        QCOMPARE(PasswordKeyFile(), hexFile);
        QCOMPARE(Decrypt("u1", stored), QString("pw"));
        qunsetenv("SC_PASSWORD_KEY_FILE");
        // Default: beside the program.
        QCOMPARE(PasswordKeyFile(),
                 QDir(QCoreApplication::applicationDirPath()).filePath("signal-console.key"));

        QVERIFY_THROWS_EXCEPTION(EPasswordCipherError, SetPasswordKey(QByteArray(16, 'k')));
    }

    void demoPasswordsOpenWithTheDemoKey()
    {
        const QString db = QString::fromLocal8Bit(qgetenv("SC_SOURCE_DIR")) + "/db/mariadb/";
        SetPasswordKeyFile(db + "demo.key");
        QFile f(db + "demo-passwords.sql");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString sql = QString::fromUtf8(f.readAll());
        const QRegularExpression re("USER_PW = '([^']+)' WHERE USER_ID = '([^']+)'");
        QMap<QString, QString> found;
        for (auto it = re.globalMatch(sql); it.hasNext();) {
            const auto m = it.next();
            QVERIFY(m.captured(1).startsWith("SC2:"));
            found[m.captured(2)] = Decrypt(m.captured(2), m.captured(1));
        }
        QCOMPARE(found.value("admin"), QString("admin1234"));
        QCOMPARE(found.value("operator"), QString("oper1234"));
        QCOMPARE(found.value("manager"), QString("mgr1234"));
        QCOMPARE(found.value("police"), QString("police1234"));
    }

    // -------------------------------------------------------------------- CP949

    void cp949ByteCounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("representable");
        QTest::newRow("empty") << "" << 0 << true;
        QTest::newRow("ascii") << "VMS 01" << 6 << true;
        QTest::newRow("hangul") << "교차로" << 6 << true;
        QTest::newRow("mixed") << "가a나b" << 6 << true;
        QTest::newRow("extended hangul") << "똠방각하" << 8 << true; // outside KS X 1001, in CP949
        QTest::newRow("emoji") << QString::fromUtf8("a\xF0\x9F\x98\x80") << 2 << false;
    }

    void cp949ByteCounts()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QFETCH(bool, representable);
        bool ok = false;
        const QByteArray b = ToCp949(text, &ok);
        QCOMPARE(int(b.size()), bytes);
        QCOMPARE(Cp949ByteLength(text), bytes);
        QCOMPARE(ok, representable);
        if (representable)
            QCOMPARE(FromCp949(b), text);
    }

    void cp949BytesAndCuts()
    {
        QCOMPARE(ToCp949("가"), QByteArray::fromHex("B0A1"));
        QCOMPARE(FromCp949(QByteArray::fromHex("C7D1B1DB")), QString("한글"));
        bool ok = true;
        QCOMPARE(FromCp949(QByteArray::fromHex("41B0"), &ok), QString("A") + QChar(0xFFFD));
        QVERIFY(!ok);
        QCOMPARE(Cp949Left("가나다", 5), QString("가나"));
        QCOMPARE(Cp949Left("가나다", 6), QString("가나다"));
        QCOMPARE(Cp949Left("a가", 2), QString("a"));
        QCOMPARE(Cp949Left("abc", 0), QString());
        // A 48-byte VMS text: 24 hangul fit, the 25th does not.
        const QString vms(25, QChar(0xAC00));
        QCOMPARE(Cp949Left(vms, 48).size(), 24);
    }

    // ------------------------------------------------------------------ periods

    void searchPeriod_data()
    {
        QTest::addColumn<QDate>("d1");
        QTest::addColumn<QTime>("t1");
        QTest::addColumn<QDate>("d2");
        QTest::addColumn<QTime>("t2");
        QTest::addColumn<bool>("ok");
        const QDate d(2024, 3, 1);
        QTest::newRow("ordinary") << d << QTime(0, 0) << d << QTime(23, 59, 59) << true;
        QTest::newRow("equal refused") << d << QTime(10, 0) << d << QTime(10, 0) << false;
        QTest::newRow("reversed") << d.addDays(1) << QTime(0, 0) << d << QTime(23, 0) << false;
        QTest::newRow("earlier day later time") << d << QTime(23, 0) << d.addDays(1) << QTime(1, 0) << true;
        QTest::newRow("invalid date") << QDate() << QTime(0, 0) << d << QTime(1, 0) << false;
        QTest::newRow("invalid time") << d << QTime(25, 0) << d << QTime(1, 0) << false;
    }

    void searchPeriod()
    {
        QFETCH(QDate, d1);
        QFETCH(QTime, t1);
        QFETCH(QDate, d2);
        QFETCH(QTime, t2);
        QFETCH(bool, ok);
        QCOMPARE(ValidateSearchDate(d1, d2, t1, t2), ok);
    }

    // ------------------------------------------------------------ open workbook

    void openExcelAsksFirst()
    {
        QStringList opened;
        SetFileOpener([&opened](const QString &file, const QString &program) {
            opened << file + "|" + program;
            return true;
        });
        ScriptedMsgDlg dlg;
        dlg.enqueue({mrNo, mrYes});
        QVERIFY(!OpenExcel(nullptr, "/tmp/a.xlsx", "", "Open the file?", "Open"));
        QVERIFY(opened.isEmpty());
        QVERIFY(OpenExcel(nullptr, "/tmp/a.xlsx", "", "Open the file?", "Open"));
        QCOMPARE(opened, QStringList{"/tmp/a.xlsx|"});
        QCOMPARE(dlg.count(), 2);
        QCOMPARE(dlg.last().kind, mkQuestion);
        QCOMPARE(dlg.last().text, QString("Open the file?"));
        QCOMPARE(dlg.last().caption, QString("Open"));
    }

    // ------------------------------------------------------------ folders, hosts

    void foldersAndHosts()
    {
        const QString app = GetAppDataPath();
        QVERIFY(app.endsWith('/'));
        QVERIFY(QDir(app).exists());
        QFile probe(app + "probe.tmp");
        QVERIFY(probe.open(QIODevice::WriteOnly));
        probe.remove();

        const QString desk = GetDeskTopPath();
        QVERIFY(QDir(desk).exists());

        QCOMPARE(GetIPFromHost("127.0.0.1"), QString("127.0.0.1"));
        QCOMPARE(GetIPFromHost(" 10.1.2.3 "), QString("10.1.2.3"));
        QCOMPARE(GetIPFromHost("localhost"), QString("127.0.0.1"));
        QCOMPARE(GetIPFromHost(""), QString());
    }

    void ensureValidDisplayBringsAWindowBack()
    {
        QWidget w;
        w.resize(300, 200);
        w.move(-5000, -5000);
        w.show();
        EnsureValidDisplay(&w);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.intersects(w.frameGeometry()),
                 qPrintable(QString("%1,%2").arg(w.x()).arg(w.y())));
        const QPoint kept(screen.left() + 10, screen.top() + 10);
        w.move(kept);
        EnsureValidDisplay(&w);
        QCOMPARE(w.pos(), kept);
    }

    // ----------------------------------------------------------------- drawing

    void flashMapHalves()
    {
        const QRect cell(10, 20, 41, 18);
        QCOMPARE(GetP1Bounds(cell), QRect(10, 20, 20, 18));
        QCOMPARE(GetP2Bounds(cell), QRect(30, 20, 21, 18));
        QString a, b;
        GetP1P2Str("RF;X", a, b);
        QCOMPARE(a, QString("RF"));
        QCOMPARE(b, QString("X"));
        GetP1P2Str("G0", a, b);
        QCOMPARE(a, QString("G0"));
        QCOMPARE(b, QString());
        GetP1P2Str(";Y0", a, b);
        QCOMPARE(a, QString());
        QCOMPARE(b, QString("Y0"));
    }

    void movementArrowStaysInItsCell_data()
    {
        QTest::addColumn<bool>("pedestrian");
        QTest::addColumn<double>("head");
        QTest::addColumn<double>("end");
        QTest::newRow("straight north") << false << 0.0 << 0.0;
        QTest::newRow("left turn") << false << 0.0 << 270.0;
        QTest::newRow("odd angles") << false << 1000.0 << -45.0;
        QTest::newRow("pedestrian") << true << 0.0 << 90.0;
    }

    void movementArrowStaysInItsCell()
    {
        QFETCH(bool, pedestrian);
        QFETCH(double, head);
        QFETCH(double, end);
        QImage img(60, 40, QImage::Format_RGB32);
        img.fill(Qt::black);
        const QRect cell(10, 5, 30, 30);
        const QColor bg(Qt::white), arrow(0x5B, 0x9B, 0x5B);
        QPainter p(&img);
        DrawSmoothMvmt(&p, cell, pedestrian, head, end, bg, arrow);
        p.end();
        int arrowPixels = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (!cell.contains(x, y))
                    QCOMPARE(c, QColor(Qt::black)); // nothing outside the cell
                else if (c != bg)
                    ++arrowPixels;
            }
        QVERIFY(arrowPixels > 20);
    }

    void gradientRuns()
    {
        QImage img(10, 100, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        DrawGradientRect(&p, QRect(0, 0, 10, 100), Qt::white, QColor(0, 0, 255));
        p.end();
        QVERIFY(img.pixelColor(5, 0).red() > 240);
        QVERIFY(img.pixelColor(5, 99).red() < 15);
        QCOMPARE(img.pixelColor(5, 99).blue(), 255);
    }
};

QTEST_MAIN(TestQuorval)
#include "tst_quorval.moc"
