// The grid model and its display proxy under Qt's item-model checker while rows
// are loaded, edited, appended, deleted, sorted, filtered and cleared; the row
// records a save procedure receives.
#include <QAbstractItemModelTester>
#include <QTest>

#include "core/GridModel.h"

class TestBaseModel : public QObject
{
    Q_OBJECT

    static void Fill(TGridModel &m)
    {
        m.SetColumns({TGridColumn("ID", "번호").Req(), TGridColumn("NAME", "이름"), TGridColumn("N", "수")});
        m.SetPrimaryKeys({"ID"});
        m.AddLoaded({1, "가", 10}, 1);
        m.AddLoaded({2, "나", 5}, 2);
        m.AddLoaded({3, "다", 7}, 3);
    }

private slots:
    void modelAndProxyUnderTheChecker()
    {
        TGridModel m;
        TGridProxyModel proxy;
        QAbstractItemModelTester source(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&m);
        QAbstractItemModelTester shown(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Fill(m);
        proxy.sort(2, Qt::AscendingOrder);
        QVERIFY(m.setData(m.index(0, 1), "가가"));
        QCOMPARE(m.State(0), QString("M"));
        m.EditValue(1, 2, 50);                       // moves in the sorted proxy
        const int rec = m.AppendRecord();
        m.EditValue(rec, 0, 4);
        QCOMPARE(m.State(rec), QString("I"));
        m.BeginUpdate();                             // a load inside one update
        m.AddLoaded({5, "마", 1}, 5);
        m.AddLoaded({6, "바", 2}, 6);
        m.EndUpdate();
        proxy.SetSearchFilter("마");
        QCOMPARE(proxy.rowCount(), 1);
        proxy.ClearFilters();
        QVERIFY(!m.DeleteRecord(2));                 // loaded: marked "D"
        QVERIFY(m.DeleteRecord(rec));                // never saved: removed
        m.SetRecordCount(2);
        m.Clear();
        QCOMPARE(proxy.rowCount(), 0);
        Fill(m);                                     // columns set again
        QCOMPARE(proxy.rowCount(), 3);
    }

    void rowRecordOfTheSaveProcedure()
    {
        TGridModel m;
        Fill(m);
        m.EditValue(1, 1, "나나");
        m.DeleteRecord(2);
        const int rec = m.AppendRecord();
        m.EditValue(rec, 0, 9);
        const TGridRow changed = m.Row(1);
        QCOMPARE(changed.State, TRowState::Modified);
        QCOMPARE(changed.KeyValue, QString("2"));
        QCOMPARE(changed["NAME"].toString(), QString("나나"));
        QCOMPARE(changed["N"].toInt(), 5);
        QCOMPARE(m.Row(2).State, TRowState::Deleted);
        const TGridRow added = m.Row(rec);
        QCOMPARE(added.State, TRowState::Inserted);
        QVERIFY(added.KeyValue.isEmpty());
        QCOMPARE(m.Row(0).State, TRowState::Unchanged);
        QCOMPARE(m.PrimaryKeyIdx(), QList<int>{0});
        // The letters stay at the boundary.
        QCOMPARE(RowStateFromLetter("I"), TRowState::Inserted);
        QCOMPARE(RowStateFromLetter(""), TRowState::Unchanged);
        QCOMPARE(RowStateLetter(TRowState::Deleted), QString("D"));
        TGridRow composite;
        composite.KeyValue = "12,3,7";
        QCOMPARE(composite.KeyParts(), QStringList({"12", "3", "7"}));
    }
};

QTEST_MAIN(TestBaseModel)
#include "tst_base_model.moc"
