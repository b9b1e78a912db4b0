// The copies of a group's and an intersection's data against the fixture
// database: per option the target's rows become the source's with the key
// replaced and its old rows go, a new target gets the typed name only with its
// master row, a failing table rolls the whole copy back, and the windows' checks,
// questions and option ticks.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "core/Quorval.h"
#include "intersection/CopyData.h"
#include "intersection/untCopyData.h"

using EditorFixture::Column;
using EditorFixture::Exec;

namespace {

const char *const kDb = "tst_copy_data";

struct TColumnInfo
{
    QString Name, Type;
    bool Primary = false;
};

QList<TColumnInfo> Columns(const QString &table)
{
    QSqlQuery q(DM->Con());
    q.prepare("SELECT COLUMN_NAME, DATA_TYPE, COLUMN_KEY = 'PRI' FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
              "AND TABLE_NAME = :T ORDER BY ORDINAL_POSITION");
    q.bindValue(":T", table);
    QList<TColumnInfo> list;
    if (q.exec())
        while (q.next())
            list << TColumnInfo{q.value(0).toString(), q.value(1).toString(), q.value(2).toBool()};
    return list;
}

// Writes made-up values under `no` (values differ by `seed`): two rows, or one
// where the number alone is the table's key.
bool Seed(const QString &table, const QString &key, int no, int seed)
{
    int keyParts = 0;
    for (const TColumnInfo &c : Columns(table))
        keyParts += c.Primary ? 1 : 0;
    for (int r = 0; r < (keyParts > 1 ? 2 : 1); ++r) {
        QStringList names, values;
        int j = 0;
        for (const TColumnInfo &c : Columns(table)) {
            names << '`' + c.Name + '`';
            ++j;
            if (c.Name == key)
                values << QString::number(no);
            else if (c.Type.contains("char") || c.Type.contains("text"))
                values << QString("'v%1_%2'").arg(seed).arg(r);
            else if (c.Type.contains("date") || c.Type.contains("time"))
                values << QString("'2025-01-%1 00:00:00'").arg(10 + r + seed % 10);
            else if (c.Type.contains("blob") || c.Type.contains("binary"))
                values << QString("'b%1'").arg(r);
            else
                values << QString::number((seed + r * 3 + j) % 100 + 1);
        }
        if (!Exec(QString("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(", "), values.join(", "))))
            return false;
    }
    return true;
}

// The rows under `no` without their key column, sorted.
QStringList Rows(const QString &table, const QString &key, int no)
{
    QStringList cols;
    for (const TColumnInfo &c : Columns(table))
        if (c.Name != key)
            cols << QString("IFNULL(HEX(`%1`), 'NULL')").arg(c.Name);
    QStringList rows = Column(QString("SELECT CONCAT_WS('|', %1) FROM %2 WHERE %3 = %4")
                                  .arg(cols.join(", "), table, key).arg(no));
    rows.sort();
    return rows;
}

void Clear(const CopyData::TCopyKind &kind, const QList<int> &numbers)
{
    QStringList list;
    for (int n : numbers)
        list << QString::number(n);
    for (int k = 2; k < kind.Tables.size(); ++k)
        for (const QString &t : kind.Tables[k])
            Exec(QString("DELETE FROM %1 WHERE %2 IN (%3)").arg(t, kind.KeyColumn, list.join(',')));
}

CopyData::TSelection Choose(int options, const QList<int> &chosen)
{
    CopyData::TSelection s(options);
    for (int k : chosen)
        s.Toggle(k);
    return s;
}

} // namespace

class TestCopyData : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb)); }
    void cleanupTestCase() { FDb.Close(); }

    // Per option: the source's rows under the target (existing), its old rows gone,
    // the tables of the other options untouched.
    void copiesEachOption_data()
    {
        QTest::addColumn<bool>("group");
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("tables");
        const QList<QPair<int, QStringList>> ints{
            {2, {"SCS_M_INTLC"}},
            {3, {"SCS_M_INTSTARTUP"}},
            {4, {"SCS_M_INTALGORITHM", "SCS_M_INTLINKQUEUE", "SCS_M_INTSPILLBACK"}},
            {5, {"SCS_M_INTPHASE"}},
            {6, {"SCS_M_INTTPLAN"}},
            {7, {"SCS_M_INTSIGMAP"}},
            {8, {"SCS_M_INTOUTPED", "SCS_M_INTLSU"}},
            {9, {"SCS_M_INTFLSMAP"}},
            {10, {"SCS_M_INTFPLAN"}},
            {11, {"SCS_M_INTCONFLICT"}},
            {12, {"SCS_M_TFDTOPERATE"}}};
        for (const auto &o : ints)
            QTest::addRow("intersection option %d", o.first) << false << o.first << o.second;
        const QList<QPair<int, QStringList>> groups{{2, {"SCS_M_SAOPERATE"}},
                                                    {3, {"SCS_M_SAAPLAN"}},
                                                    {4, {"SCS_M_SADPLAN"}},
                                                    {5, {"SCS_M_SAWPLAN"}},
                                                    {6, {"SCS_M_SAHPLAN"}}};
        for (const auto &o : groups)
            QTest::addRow("group option %d", o.first) << true << o.first << o.second;
    }
    void copiesEachOption()
    {
        QFETCH(bool, group);
        QFETCH(int, option);
        QFETCH(QStringList, tables);
        const CopyData::TCopyKind &kind = group ? CopyData::GroupKind() : CopyData::IntersectionKind();
        const int source = group ? 201 : 1001, target = group ? 202 : 1002;
        Clear(kind, {source, target});
        // Every table gets rows for source and target, so untouched ones can be told.
        QMap<QString, QStringList> before;
        for (int k = 2; k < kind.Tables.size(); ++k)
            for (const QString &t : kind.Tables[k]) {
                QVERIFY2(Seed(t, kind.KeyColumn, source, 1), qPrintable(t));
                QVERIFY2(Seed(t, kind.KeyColumn, target, 40), qPrintable(t));
                before[t] = Rows(t, kind.KeyColumn, target);
            }
        CopyData::TRequest r{true, source, target, true, QString()};
        CopyData::Copy(DM->Con(), dtMariaDB, kind, r, Choose(kind.OptionCount(), {option}));
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const QStringList now = Rows(it.key(), kind.KeyColumn, target);
            if (tables.contains(it.key()))
                QCOMPARE(now, Rows(it.key(), kind.KeyColumn, source));
            else
                QCOMPARE(now, it.value());
        }
        Clear(kind, {source, target});
    }

    // A new target: with option 2 it gets the master row and the typed name; without
    // it only the chosen tables.
    void newTarget_data()
    {
        QTest::addColumn<bool>("group");
        QTest::addColumn<QList<int>>("options");
        QTest::addColumn<QStringList>("master");
        QTest::newRow("intersection with its master row") << false << QList<int>{2, 12} << QStringList{"새 교차로"};
        QTest::newRow("intersection without") << false << QList<int>{12} << QStringList{};
        QTest::newRow("group with its master row") << true << QList<int>{2, 3} << QStringList{"새 교차로"};
        QTest::newRow("group without") << true << QList<int>{3} << QStringList{};
    }
    void newTarget()
    {
        QFETCH(bool, group);
        QFETCH(QList<int>, options);
        QFETCH(QStringList, master);
        const CopyData::TCopyKind &kind = group ? CopyData::GroupKind() : CopyData::IntersectionKind();
        const int source = group ? 201 : 1001, target = group ? 203 : 1003;
        Clear(kind, {source, target});
        for (int k = 2; k < kind.Tables.size(); ++k)
            for (const QString &t : kind.Tables[k])
                QVERIFY2(Seed(t, kind.KeyColumn, source, 1), qPrintable(t));
        CopyData::TRequest r{true, source, target, false, QStringLiteral("  새 교차로 ")};
        CopyData::Copy(DM->Con(), dtMariaDB, kind, r, Choose(kind.OptionCount(), options));
        QCOMPARE(Column(QString("SELECT %1 FROM %2 WHERE %3 = %4")
                            .arg(kind.NameColumn, kind.MasterTable, kind.KeyColumn).arg(target)),
                 master);
        const QString plan = kind.Tables[options.last()].first();
        QCOMPARE(Rows(plan, kind.KeyColumn, target), Rows(plan, kind.KeyColumn, source));
        Clear(kind, {source, target});
    }

    // The third table of option 4 fails: nothing of the copy remains.
    void failingTableRollsBack()
    {
        const CopyData::TCopyKind &kind = CopyData::IntersectionKind();
        Clear(kind, {1001, 1002});
        QStringList tables{"SCS_M_INTSTARTUP", "SCS_M_INTALGORITHM", "SCS_M_INTLINKQUEUE", "SCS_M_INTSPILLBACK",
                           "SCS_M_TFDTOPERATE"};
        QMap<QString, QStringList> before;
        for (const QString &t : tables) {
            QVERIFY(Seed(t, "INT_LCNO", 1001, 1));
            QVERIFY(Seed(t, "INT_LCNO", 1002, 40));
            before[t] = Rows(t, "INT_LCNO", 1002);
        }
        QVERIFY(Exec("CREATE TRIGGER COPY_GUARD BEFORE INSERT ON SCS_M_INTSPILLBACK FOR EACH ROW "
                     "BEGIN IF NEW.INT_LCNO = 1002 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'; END IF; END"));
        bool thrown = false;
        try {
            CopyData::Copy(DM->Con(), dtMariaDB, kind, {true, 1001, 1002, true, QString()},
                           Choose(kind.OptionCount(), {3, 4, 12}));
        } catch (const std::exception &) {
            thrown = true;
        }
        QVERIFY(Exec("DROP TRIGGER COPY_GUARD"));
        QVERIFY(thrown);
        for (const QString &t : tables)
            QCOMPARE(Rows(t, "INT_LCNO", 1002), before[t]);
        Clear(kind, {1001, 1002});
    }

    void selectionTicks()
    {
        CopyData::TSelection s(6);
        for (int k = 2; k <= 5; ++k)
            s.Toggle(k);
        QVERIFY(!s.Chosen(1));
        s.Toggle(6);
        QVERIFY(s.Chosen(1));   // 2 to the last ticks "전체"
        s.Toggle(4);
        QCOMPARE(s.Value(1), quint8(2));
        s.Toggle(1);            // "전체" ticks every one
        for (int k = 1; k <= 6; ++k)
            QVERIFY(s.Chosen(k));
        s.Toggle(1);
        QVERIFY(!s.AnyData());
        QCOMPARE(s.Value(3), quint8(2));
    }

    // The checks in their order: source, target, the largest number, the same
    // number, the name of a new target, an option.
    void checks_data()
    {
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("option");
        QTest::addColumn<QString>("message"); // empty: the question comes
        QTest::addColumn<QString>("focus");
        QTest::newRow("int: no source") << false << "" << "2" << "" << true << "원본교차로를 확인바랍니다." << "nedtSrc";
        QTest::newRow("int: unknown source") << false << "999" << "2" << "" << true << "원본교차로를 확인바랍니다." << "nedtSrc";
        QTest::newRow("int: no target") << false << "1" << "" << "" << true << "대상교차로를 확인바랍니다." << "nedtDest";
        QTest::newRow("int: 1025") << false << "1" << "1025" << "x" << true << "LC번호가 최대값을 초과합니다." << "nedtDest";
        QTest::newRow("int: 1024") << false << "1" << "1024" << "x" << true << "" << "";
        QTest::newRow("int: 05 is 5") << false << "5" << "05" << "" << true << "원본교차로과 대상교차로가 같습니다." << "nedtDest";
        QTest::newRow("int: new without name") << false << "1" << "900" << " " << true << "대상교차로의 이름을 입력바랍니다." << "edtNewName";
        QTest::newRow("int: no option") << false << "1" << "2" << "" << false << "복사하실 교차로정보를 선택바랍니다." << "nedtDest";
        QTest::newRow("group: 201") << true << "1" << "201" << "x" << true << "그룹번호가 최대값을 초과합니다." << "nedtDest";
        QTest::newRow("group: 200") << true << "1" << "200" << "x" << true << "" << "";
        QTest::newRow("group: same") << true << "2" << "02" << "" << true << "원본그룹과 대상그룹이 같습니다." << "nedtDest";
        QTest::newRow("group: no option") << true << "1" << "2" << "" << false << "복사하실 그룹정보를 선택바랍니다." << "nedtDest";
    }
    void checks()
    {
        QFETCH(bool, group);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, name);
        QFETCH(bool, option);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        std::unique_ptr<TFormCopyBase> w(group ? static_cast<TFormCopyBase *>(new TFormCopyGroup)
                                               : static_cast<TFormCopyBase *>(new TFormCopyInt));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->nedtSrc->setText(source);
        w->nedtDest->setText(target);
        w->edtNewName->setText(name);
        if (option)
            w->btnOptions[2]->click();
        ScriptedMsgDlg boxes; // the question is answered No
        QVERIFY(!w->actCopyExecute());
        QCOMPARE(boxes.count(), 1);
        if (message.isEmpty()) {
            QCOMPARE(boxes.last().kind, mkQuestion);
        } else {
            QCOMPARE(boxes.last().kind, mkError);
            QCOMPARE(boxes.last().caption, QString("유효성 체크"));
            QCOMPARE(boxes.last().text, message);
            QCOMPARE(w->focusWidget() ? w->focusWidget()->objectName() : QString(), focus);
        }
    }

    void windowCopiesToANewIntersection()
    {
        Exec("DELETE FROM SCS_M_INTLC WHERE INT_LCNO = 901");
        Exec("DELETE FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 901");
        TFormCopyInt w;
        w.show();
        w.nedtSrc->setText("1");
        QCOMPARE(w.lblSrcName->text(), QString("신사역사거리"));
        w.nedtDest->setText("901");
        QVERIFY(!w.edtNewName->isHidden());
        w.edtNewName->setText(" 신규 ");
        for (int k : {2, 12})
            w.btnOptions[k - 1]->click();
        ScriptedMsgDlg boxes;
        boxes.enqueue(mrYes);
        QVERIFY(w.actCopyExecute());
        QCOMPARE(boxes.requests().first().text, QString("신규 데이터(교차로 : 901, 신규)가 생성됩니다. 계속하시겠습니까?"));
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT INT_NAME FROM SCS_M_INTLC WHERE INT_LCNO = 901"), QStringList{"신규"});
        QCOMPARE(Rows("SCS_M_TFDTOPERATE", "INT_LCNO", 901), Rows("SCS_M_TFDTOPERATE", "INT_LCNO", 1));
        QVERIFY(w.edtNewName->isHidden());
        Exec("DELETE FROM SCS_M_INTLC WHERE INT_LCNO = 901");
        Exec("DELETE FROM SCS_M_TFDTOPERATE WHERE INT_LCNO = 901");
    }

    void ticksFollowTheButtons()
    {
        TFormCopyGroup w;
        for (int k = 2; k <= 6; ++k)
            w.btnOptions[k - 1]->click();
        QVERIFY(w.FSelection().Chosen(1));
        QCOMPARE(w.imgOptions[0]->text(), w.imgOptions[3]->text());
        w.btnOptions[3]->click();
        QVERIFY(!w.FSelection().Chosen(1));
        QVERIFY(w.imgOptions[0]->text() != w.imgOptions[1]->text());
        // The window's texts are Korean in both languages; its caption is the action's.
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
        QCOMPARE(w.btnOptions[5]->text(), QString("특수일계획"));
        QCOMPARE(w.windowTitle(), QString("Copy Group Master"));
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
    }
};

QTEST_MAIN(TestCopyData)
#include "tst_copy_data.moc"
