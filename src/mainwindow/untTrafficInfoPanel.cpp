#include "mainwindow/untTrafficInfoPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSqlError>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/siLang.h"
#include "core/untDM.h"
#include "mainwindow/PageMessageTable.h"

// ---------------------------------------------------------------------------
// Logic
// ---------------------------------------------------------------------------

bool TTrafficInfoLogic::Select(int lcNo)
{
    if (lcNo <= 0 || FSel.Exist(lcNo) >= 0)
        return false;
    FSel.SetSelCount(FSel.FSelCount + 1);
    FSel.FSelLcId[FSel.FSelCount - 1] = lcNo;
    return true;
}

bool TTrafficInfoLogic::Unselect(int lcNo)
{
    if (lcNo <= 0 || FSel.Exist(lcNo) < 0)
        return false;
    FSel.Delete(lcNo);
    return true;
}

QList<int> TTrafficInfoLogic::Selected() const
{
    QList<int> out;
    for (int i = 0; i < FSel.FSelCount && i < FSel.FSelLcId.size(); ++i)
        out << FSel.FSelLcId.at(i);
    return out;
}

QStringList TTrafficInfoLogic::Cells(const MainMapPage::TTrafficInfoRow &r)
{
    return {QString::number(r.LcNo), r.Dir1, r.Dir2, QString::number(r.Volume), r.AverageSpeed, r.DS,
            r.QueueLength, r.SumSmt};
}

bool TTrafficInfoLogic::Rows(const TLoader &load, QList<QStringList> *rows, QSqlError *error) const
{
    rows->clear();
    if (!load)
        return true;
    for (int lc : Selected()) {
        QList<MainMapPage::TTrafficInfoRow> loaded;
        if (!load(lc, &loaded, error))
            return false;
        for (const MainMapPage::TTrafficInfoRow &r : loaded)
            rows->append(Cells(r));
    }
    return true;
}

// ---------------------------------------------------------------------------
// The panel
// ---------------------------------------------------------------------------

namespace {
const QString kTable = QStringLiteral("TfrmMain");
}

TTrafficInfoPanel::TTrafficInfoPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlTrafficInfo"));
    auto *tl = new QVBoxLayout(this);
    tl->setContentsMargins(2, 2, 2, 2);
    auto *title = new QLabel(this);
    title->setObjectName(QStringLiteral("lblTrafficInfoTitle"));
    tl->addWidget(title);
    gtvTrafficInfo = new QTableWidget(0, 8, this);
    gtvTrafficInfo->setObjectName(QStringLiteral("gtvTrafficInfo"));
    gtvTrafficInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gtvTrafficInfo->verticalHeader()->hide();
    tl->addWidget(gtvTrafficInfo, 1);
    auto *close = new QPushButton(this);
    close->setObjectName(QStringLiteral("btnTrafficInfoClose"));
    connect(close, &QPushButton::clicked, this, &TTrafficInfoPanel::closeClicked);
    tl->addWidget(close);
    siOnLanguageChanged(this, [title, close] {
        title->setText(siText(kTable, QStringLiteral("lblTrafficInfoTitle.Caption")));
        close->setText(siText(kTable, QStringLiteral("btnTrafficInfoClose.Caption")));
    });
    ttTITimer = new QTimer(this);
    ttTITimer->setObjectName(QStringLiteral("ttTITimer"));
    ttTITimer->setInterval(5000);
    connect(ttTITimer, &QTimer::timeout, this, &TTrafficInfoPanel::RefreshTrafficInfo);
    FLoader = [](int lcNo, QList<MainMapPage::TTrafficInfoRow> *rows, QSqlError *error) {
        if (!DM)
            return true;
        const bool ora = DM->Con().driverName() != QLatin1String("QMYSQL");
        return MainMapPage::LoadTrafficInfo(DM->Con(), ora, lcNo, rows, error);
    };
    FOnError = [this](const QSqlError &error) {
        if (DM)
            DM->ShowDbError(this, error, DM->Text(QStringLiteral("IDS_5")), DM->Text(QStringLiteral("IDS_4")));
    };
}

void TTrafficInfoPanel::RunScript(const QString &script)
{
    if (FPage && FPage->IsPageReady() && !script.isEmpty())
        FPage->ExecuteJavaScript(script);
}

void TTrafficInfoPanel::SetPanelOpen(bool open)
{
    setVisible(open);
    if (open) {
        const bool english = TsiLangDispatcher::instance()->ActiveLanguage() == TsiLangDispatcher::LangEnglish;
        setFixedWidth(english ? 426 : 416);
        for (const QString &script : MainMapPage::TrafficInfoShowScripts())
            RunScript(script);
        ttTITimer->start();
    } else {
        RunScript(MainMapPage::TrafficInfoHideScript());
        gtvTrafficInfo->setRowCount(0);
        ttTITimer->stop();
    }
}

void TTrafficInfoPanel::ClosePanel()
{
    RunScript(MainMapPage::TrafficInfoHideScript());
    gtvTrafficInfo->setRowCount(0);
    FLogic.Clear();
    ttTITimer->stop();
    hide();
}

void TTrafficInfoPanel::RefreshTrafficInfo()
{
    if (!isVisible())
        return;
    QList<QStringList> rows;
    QSqlError error;
    const bool ok = FLogic.Rows(FLoader, &rows, &error);
    gtvTrafficInfo->setRowCount(0);
    gtvTrafficInfo->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            gtvTrafficInfo->setItem(r, c, new QTableWidgetItem(rows[r].at(c)));
    // A failure is shown once until the rows load again (the timer goes on).
    if (ok) {
        FErrorShown = false;
    } else if (!FErrorShown && FOnError) {
        FErrorShown = true;
        FOnError(error);
    }
}

void TTrafficInfoPanel::RegisterPageMessages(TPageMessageTable &table)
{
    table.AddConsole(QStringLiteral("TrafficInfoSelected"), [this](const QString &value) {
        const int lc = value.trimmed().toInt();
        if (lc > 0) {
            FLogic.Select(lc);
            RefreshTrafficInfo();
        }
    });
    table.AddConsole(QStringLiteral("TrafficInfoUnselected"), [this](const QString &value) {
        const int lc = value.trimmed().toInt();
        if (lc > 0) {
            FLogic.Unselect(lc);
            RefreshTrafficInfo();
        }
    });
}
