#include "mainwindow/untEmergencyPanel.h"

#include "core/ActionButton.h"
#include "foundation/JsEscape.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/PageMessageTable.h"
#include "mainwindow/PanelActionsUnit.h"
#include "mainwindow/PanelTextUnit.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kEventMask = QStringLiteral("YYYYMMDDHH24MISSFF");

bool Fail(QSqlQuery &q, QString *error)
{
    if (error)
        *error = q.lastError().text();
    return false;
}

QString Tx(const char *key) { return PanelText(QString::fromLatin1(key)); }

// The grid row of a polled service (no row state).
TAppServiceRow ServiceRow(const TAppService &s)
{
    TAppServiceRow row;
    row.ServiceId = s.ServiceId;
    row.ServiceName = s.ServiceName;
    row.Position = s.Position();
    row.Status = s.Status;
    row.CreateDate = s.CreateDate;
    return row;
}

} // namespace

// ===========================================================================
// TAppEmergencyDb
// ===========================================================================

QString TAppEmergencyDb::ListSql()
{
    return QStringLiteral(" SELECT                      SERVICE_ID,               SERVICE_NAME,             "
                          "DESTINATION_LAT,          DESTINATION_LNG,          STATUS,                   "
                          "CREATE_DATE             FROM SCS_M_APP_EMERGENCY  WHERE STATUS <> 2         "
                          "ORDER BY CREATE_DATE     ");
}

QString TAppEmergencyDb::RouteSql(TDBType type)
{
    if (type == dtMariaDB)
        return QStringLiteral(" SELECT UNCOMPRESS(ROUTE) AS ROUTE  FROM SCS_L_APP_ROUTE               "
                              "WHERE SERVICE_ID = :SERVICE_ID     ORDER BY CREATE_DATE DESC          "
                              "LIMIT 1                           ");
    return QStringLiteral(" SELECT ROUTE FROM (SELECT ROUTE FROM SCS_L_APP_ROUTE WHERE SERVICE_ID = :SERVICE_ID "
                          "ORDER BY CREATE_DATE DESC) WHERE ROWNUM <= 1 ");
}

QString TAppEmergencyDb::EventSql(TDBType type, bool newerOnly)
{
    QString sql = QStringLiteral(" SELECT SERVICE_ID, ")
                  + GetToCharStr(type, QStringLiteral("CREATE_DATE"), false, QStringLiteral("CREATE_DATE"), kEventMask)
                  + QStringLiteral(" CURRENT_LAT, CURRENT_LNG, CURRENT_SPEED, LC_NO, DESCRIPTION "
                                   " FROM SCS_L_APP_EVENT WHERE SERVICE_ID = :SERVICE_ID ");
    if (newerOnly) {
        if (type == dtMariaDB)
            sql += QStringLiteral(" AND CREATE_DATE > ")
                   + GetToDateStr(type, QStringLiteral(":CREATE_DATE"), false, kEventMask);
        else
            sql += QStringLiteral(" AND CREATE_DATE > TO_TIMESTAMP(:CREATE_DATE, 'YYYYMMDDHH24MISSFF')");
    }
    sql += QStringLiteral(" ORDER BY CREATE_DATE ");
    return sql;
}

QString TAppEmergencyDb::InsertSql()
{
    return QStringLiteral(" INSERT INTO SCS_M_APP_EMERGENCY (SERVICE_ID, SERVICE_NAME, DESTINATION_LAT, DESTINATION_LNG) "
                          " VALUES (:SERVICE_ID, :SERVICE_NAME, :DESTINATION_LAT, :DESTINATION_LNG) ");
}

QStringList TAppEmergencyDb::DeleteSqls()
{
    return {QStringLiteral(" DELETE FROM SCS_M_APP_EMERGENCY  WHERE SERVICE_ID = :SERVICE_ID  "),
            QStringLiteral(" DELETE FROM SCS_L_APP_EVENT  WHERE SERVICE_ID = :SERVICE_ID  "),
            QStringLiteral(" DELETE FROM SCS_L_APP_ROUTE      WHERE SERVICE_ID = :SERVICE_ID  ")};
}

QString TAppEmergencyDb::FinishSql()
{
    return QStringLiteral(" UPDATE SCS_M_APP_EMERGENCY SET STATUS = 2  WHERE SERVICE_ID = :SERVICE_ID            ");
}

bool TAppEmergencyDb::LoadOpenServices(QList<TAppService> &rows, QString *error)
{
    rows.clear();
    QSqlQuery q(FDb);
    if (!q.exec(ListSql()))
        return Fail(q, error);
    while (q.next()) {
        TAppService s;
        s.ServiceId = q.value(0).toString();
        s.ServiceName = q.value(1).toString();
        s.Lat = q.value(2).toString();
        s.Lng = q.value(3).toString();
        s.Status = q.value(4).toInt();
        s.CreateDate = q.value(5).toDateTime();
        rows << s;
    }
    return true;
}

bool TAppEmergencyDb::LoadRoute(const QString &serviceId, QString *route, bool *found, QString *error)
{
    if (found)
        *found = false;
    QSqlQuery q(FDb);
    q.prepare(RouteSql(FType));
    q.bindValue(QStringLiteral(":SERVICE_ID"), serviceId);
    if (!q.exec())
        return Fail(q, error);
    if (q.next()) {
        const QVariant v = q.value(0);
        if (route)
            *route = v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
        if (found)
            *found = !v.isNull();
    }
    return true;
}

bool TAppEmergencyDb::LoadEvents(const QString &serviceId, const QString &afterCreateText, QList<TAppEvent> &events,
                                 QString *error)
{
    events.clear();
    const bool newer = !afterCreateText.isEmpty();
    QSqlQuery q(FDb);
    q.prepare(EventSql(FType, newer));
    q.bindValue(QStringLiteral(":SERVICE_ID"), serviceId);
    if (newer)
        q.bindValue(QStringLiteral(":CREATE_DATE"), afterCreateText);
    if (!q.exec())
        return Fail(q, error);
    while (q.next()) {
        TAppEvent e;
        e.ServiceId = q.value(0).toString();
        e.CreateText = q.value(1).toString();
        e.Lat = q.value(2);
        e.Lng = q.value(3);
        e.Speed = q.value(4);
        e.LcNo = q.value(5);
        e.Description = q.value(6);
        events << e;
    }
    return true;
}

bool TAppEmergencyDb::InsertService(const QString &serviceId, const QString &name, const QString &lat,
                                    const QString &lng, QString *error)
{
    QSqlQuery q(FDb);
    q.prepare(InsertSql());
    q.bindValue(QStringLiteral(":SERVICE_ID"), serviceId);
    q.bindValue(QStringLiteral(":SERVICE_NAME"), name);
    q.bindValue(QStringLiteral(":DESTINATION_LAT"), lat);
    q.bindValue(QStringLiteral(":DESTINATION_LNG"), lng);
    if (!q.exec())
        return Fail(q, error);
    return true;
}

bool TAppEmergencyDb::DeleteService(const QString &serviceId, QString *error)
{
    // A transaction already open on the connection is the caller's to finish.
    const bool own = FDb.transaction();
    for (const QString &sql : DeleteSqls()) {
        QSqlQuery q(FDb);
        q.prepare(sql);
        q.bindValue(QStringLiteral(":SERVICE_ID"), serviceId);
        if (!q.exec()) {
            Fail(q, error);
            if (own)
                FDb.rollback();
            return false;
        }
    }
    if (own && !FDb.commit()) {
        if (error)
            *error = FDb.lastError().text();
        FDb.rollback();
        return false;
    }
    return true;
}

bool TAppEmergencyDb::FinishService(const QString &serviceId, QString *error)
{
    QSqlQuery q(FDb);
    q.prepare(FinishSql());
    q.bindValue(QStringLiteral(":SERVICE_ID"), serviceId);
    if (!q.exec())
        return Fail(q, error);
    return true;
}

QString TAppEmergencyDb::EventDescription(const TAppEvent &e)
{
    QString s;
    const bool hasDesc = !e.Description.isNull();
    if (!e.LcNo.isNull())
        s += PanelFormat(Tx("AppEmergency.EventLc"), {e.LcNo.toInt()});
    if (!e.Speed.isNull()) {
        s += PanelFormat(Tx("AppEmergency.EventSpeed"), {e.Speed.toInt()});
        if (hasDesc)
            s += QStringLiteral(", ");
    }
    if (hasDesc)
        s += e.Description.toString();
    return s;
}

QString TAppEmergencyDb::NewServiceId(const QDateTime &now)
{
    return QStringLiteral("S") + now.toString(QStringLiteral("yyMMddHHmmss"));
}

// ===========================================================================
// TAppEmergencyList
// ===========================================================================

int TAppEmergencyList::IndexOf(const QString &serviceId) const
{
    for (int i = 0; i < Rows.size(); ++i)
        if (Rows.at(i).ServiceId == serviceId)
            return i;
    return -1;
}

bool TAppEmergencyList::Adding() const
{
    for (const TAppServiceRow &r : Rows)
        if (r.State == QLatin1String("I"))
            return true;
    return false;
}

TAppEmergencyList::TPollChanges TAppEmergencyList::MergePoll(const QList<TAppService> &polled)
{
    TPollChanges ch;
    for (const TAppService &s : polled) {
        const int i = IndexOf(s.ServiceId);
        if (i < 0) {
            TAppServiceRow row = ServiceRow(s);
            row.State = QStringLiteral("C");
            // While a service is being added its row stays the last one.
            int at = Rows.size();
            for (int k = 0; k < Rows.size(); ++k) {
                if (Rows.at(k).State == QLatin1String("I")) {
                    at = k;
                    break;
                }
            }
            Rows.insert(at, row);
            ch.Added << s;
        } else if (Rows.at(i).State != QLatin1String("I")) {
            Rows[i].Status = s.Status;
            Rows[i].State = QStringLiteral("C");
        }
    }
    for (int i = int(Rows.size()) - 1; i >= 0; --i) {
        TAppServiceRow &r = Rows[i];
        if (r.State == QLatin1String("I"))
            continue;
        if (r.State == QLatin1String("C")) {
            r.State.clear();
            continue;
        }
        ch.Removed << r.ServiceId;
        Rows.removeAt(i);
    }
    return ch;
}

void TAppEmergencyList::Load(const QList<TAppService> &services)
{
    Rows.clear();
    for (const TAppService &s : services)
        Rows << ServiceRow(s);
}

void TAppEmergencyList::AddNew(const QString &serviceId)
{
    TAppServiceRow row;
    row.ServiceId = serviceId;
    row.Status = 0;
    row.State = QStringLiteral("I");
    Rows << row;
}

QStringList TAppEmergencyList::CancelNew()
{
    QStringList ids;
    for (int i = int(Rows.size()) - 1; i >= 0; --i) {
        if (Rows.at(i).State == QLatin1String("I")) {
            ids << Rows.at(i).ServiceId;
            Rows.removeAt(i);
        }
    }
    return ids;
}

// ===========================================================================
// Page scripts
// ===========================================================================

namespace AppEmergencyScript {

QString MarkerVar(const QString &serviceId)
{
    return PanelJsVar(QStringLiteral("M_"), serviceId);
}

QString ClearAll()
{
    return QStringLiteral(" appEmergencyLayer.clearLayers();       routeLayer.clearLayers();              "
                          "routeLineLayer.clearLayers();          carLayer.eachLayer(function (layer) {     "
                          "carLayer.removeLayer(layer);        });");
}

QString Marker(const TAppService &s)
{
    const QString v = MarkerVar(s.ServiceId);
    const QString id = JsStr(s.ServiceId);
    return QStringLiteral(" window.%1 = L.marker([%2, %3], {icon: emergencyIcon, serviceID: %4});"
                          " %1.bindTooltip(%5, {offset: [16, -10], direction: \"right\"});"
                          " appEmergencyLayer.addLayer(%1);"
                          " %1.on(\"dblclick\", function () { window.selectServiceID(%4); }); ")
        .arg(v, JsNumText(s.Lat), JsNumText(s.Lng), id, JsStr(s.ServiceName));
}

QString RemoveMarker(const QString &serviceId)
{
    const QString v = MarkerVar(serviceId);
    return QStringLiteral(" if (window.%1) { appEmergencyLayer.removeLayer(%1); } ").arg(v);
}

QString ClearRoute()
{
    return QStringLiteral(" routeLayer.clearLayers();      routeLineLayer.clearLayers(); ");
}

QString Route(const QString &route)
{
    // The stored route is a list of points; it reaches the page as data, never as code.
    return QStringLiteral(" routeLayer.clearLayers();      routeLineLayer.clearLayers();"
                          " try { var ovikRoute = JSON.parse(%1);"
                          " L.polyline(ovikRoute, {weight: 8, opacity: 1, color: \"#3386FF\", pane: \"paneEmerg\"}).addTo(routeLayer);"
                          " L.polyline(ovikRoute, {weight: 1, opacity: 1, color: \"#F0F0F0\", pane: \"paneEmerg\"}).addTo(routeLineLayer);"
                          " } catch (e) { } ")
        .arg(JsStr(route));
}

QString PanTo(const QString &position)
{
    if (position.trimmed().isEmpty())
        return QString();
    return QStringLiteral(" map.panTo([%1, %2])")
        .arg(JsNumText(position.section(QLatin1Char(','), 0, 0)), JsNumText(position.section(QLatin1Char(','), 1)));
}

QString NewMarker(const QString &serviceId, const QString &popupText)
{
    const QString v = MarkerVar(serviceId);
    const QString id = JsStr(serviceId);
    return QStringLiteral(" window.%1 = L.marker(map.getCenter(), {icon: emergencyIcon, draggable: true, serviceID: %2});"
                          " appEmergencyLayer.addLayer(%1);"
                          " %1.bindPopup(%3).openPopup();"
                          " %1.on(\"dragend\", function (e) { var ll = e.target.getLatLng(); window.dragEnd(%2, ll.lat, ll.lng); });"
                          " %1.on(\"dblclick\", function () { window.selectServiceID(%2); });"
                          " var ovikCenter = map.getCenter(); window.dragEnd(%2, ovikCenter.lat, ovikCenter.lng); ")
        .arg(v, id, JsStr(popupText));
}

QString CancelMarker(const QString &serviceId)
{
    const QString v = MarkerVar(serviceId);
    return QStringLiteral(" if (window.%1) { appEmergencyLayer.removeLayer(%1); } ").arg(v);
}

QString Tooltip(const QString &serviceId, const QString &name)
{
    return QStringLiteral(" %1.bindTooltip(%2, {offset: [16, -10], direction: \"right\"}); ")
        .arg(MarkerVar(serviceId), JsStr(name));
}

QString Saved(const QString &serviceId)
{
    return QStringLiteral(" %1.closePopup().unbindPopup().dragging.disable(); ").arg(MarkerVar(serviceId));
}

} // namespace AppEmergencyScript

// ===========================================================================
// TAppEmergencyPanel
// ===========================================================================

TAppEmergencyPanel::TAppEmergencyPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlAppEmergency"));
    FDbFn = [] { return DM ? DM->Con() : QSqlDatabase(); };
    BuildUi();
    siOnLanguageChanged(this, [this] { Retranslate(); });
    hide();
}

TAppEmergencyPanel::~TAppEmergencyPanel() = default;

void TAppEmergencyPanel::SetDatabase(std::function<QSqlDatabase()> db, TDBType type)
{
    FDbFn = std::move(db);
    FDbType = type;
    FHaveDbType = true;
}

TAppEmergencyDb TAppEmergencyPanel::Db() const
{
    const TDBType type = FHaveDbType ? FDbType : (DM ? DM->DBInfo().DBType : dtMariaDB);
    return TAppEmergencyDb(FDbFn ? FDbFn() : QSqlDatabase(), type);
}

void TAppEmergencyPanel::BuildUi()
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    lblTitle = new QLabel(this);
    lblTitle->setAlignment(Qt::AlignCenter);
    v->addWidget(lblTitle);

    gtvAppEmergency = new QTableWidget(0, scCount, this);
    gtvAppEmergency->setObjectName(QStringLiteral("gtvAppEmergency"));
    gtvAppEmergency->verticalHeader()->hide();
    gtvAppEmergency->setSelectionBehavior(QAbstractItemView::SelectRows);
    gtvAppEmergency->setSelectionMode(QAbstractItemView::SingleSelection);
    gtvAppEmergency->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                     | QAbstractItemView::AnyKeyPressed);
    gtvAppEmergency->setColumnHidden(scPosition, true);
    gtvAppEmergency->setColumnHidden(scCreateDate, true);
    gtvAppEmergency->setColumnHidden(scState, true);
    gtvAppEmergency->horizontalHeader()->setStretchLastSection(true);
    gtvAppEmergency->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gtvAppEmergency, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) {
        if (!FSyncing)
            gtvAppEmergencyFocusedRecordChanged();
    });
    connect(gtvAppEmergency, &QTableWidget::cellDoubleClicked, this, [this](int, int) { gtvAppEmergencyDblClick(); });
    connect(gtvAppEmergency, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (FSyncing || !item || item->column() != scServiceName)
            return;
        const QTableWidgetItem *idItem = gtvAppEmergency->item(item->row(), scServiceId);
        if (idItem)
            SetNewServiceName(idItem->text(), item->text());
    });
    v->addWidget(gtvAppEmergency, 1);

    gtvAppEmergencyLog = new QTableWidget(0, ecCount, this);
    gtvAppEmergencyLog->setObjectName(QStringLiteral("gtvAppEmergencyLog"));
    gtvAppEmergencyLog->verticalHeader()->hide();
    gtvAppEmergencyLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gtvAppEmergencyLog->setColumnHidden(ecCreateDate, true);
    gtvAppEmergencyLog->setColumnHidden(ecLat, true);
    gtvAppEmergencyLog->setColumnHidden(ecLng, true);
    gtvAppEmergencyLog->horizontalHeader()->setStretchLastSection(true);
    gtvAppEmergencyLog->setColumnWidth(ecRowNo, 40);
    v->addWidget(gtvAppEmergencyLog, 1);

    auto action = [this](const QString &name, std::function<void()> fn) {
        return PanelAction(this, name, std::move(fn));
    };
    actAppEmergencyOpen = action(QStringLiteral("actAppEmergencyOpen"), [this] {
        if (CanToggle())
            actAppEmergencyOpenExecute();
    });
    actAppEmergencyClose = action(QStringLiteral("actAppEmergencyClose"), [this] {
        if (CanToggle())
            actAppEmergencyOpenExecute();
    });
    actAppEmergencyAdd = action(QStringLiteral("actAppEmergencyAdd"), [this] { actAppEmergencyAddExecute(); });
    actAppEmergencySave = action(QStringLiteral("actAppEmergencySave"), [this] { actAppEmergencySaveExecute(); });
    actAppEmergencyDel = action(QStringLiteral("actAppEmergencyDel"), [this] { actAppEmergencyDelExecute(); });
    actAppEmergencyChangeStatus = action(QStringLiteral("actAppEmergencyChangeStatus"),
                                         [this] { actAppEmergencyChangeStatusExecute(); });
    pmAppEmergency = new QMenu(this);
    pmAppEmergency->setObjectName(QStringLiteral("pmAppEmergency"));
    pmAppEmergency->addAction(actAppEmergencyChangeStatus);
    connect(gtvAppEmergency, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        if (gtvAppEmergency->itemAt(p))
            pmAppEmergency->popup(gtvAppEmergency->viewport()->mapToGlobal(p));
    });

    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](QAction *a, const char *name, bool visible) {
        QPushButton *b = NewActionButton(this, name, a);
        b->setVisible(visible);
        buttons->addWidget(b);
        return b;
    };
    btnAdd = button(actAppEmergencyAdd, "btnAppEmergencyAdd", false);
    btnDel = button(actAppEmergencyDel, "btnAppEmergencyDel", false);
    btnSave = button(actAppEmergencySave, "btnAppEmergencySave", false);
    btnClose = button(actAppEmergencyClose, "btnAppEmergencyClose", true);
    v->addLayout(buttons);

    ttAppEmergency = new QTimer(this);
    ttAppEmergency->setObjectName(QStringLiteral("ttAppEmergency"));
    ttAppEmergency->setInterval(1000);
    connect(ttAppEmergency, &QTimer::timeout, this, [this] { ttAppEmergencyTimer(); });
    // Runs the open action once when it fires; nothing starts it.
    ttAppEmergencyOpen = new QTimer(this);
    ttAppEmergencyOpen->setObjectName(QStringLiteral("ttAppEmergencyOpen"));
    ttAppEmergencyOpen->setInterval(5000);
    connect(ttAppEmergencyOpen, &QTimer::timeout, this, [this] {
        ttAppEmergencyOpen->stop();
        actAppEmergencyOpen->trigger();
    });

    Retranslate();
    UpdateActions();
}

void TAppEmergencyPanel::Retranslate()
{
    lblTitle->setText(Tx("pnlAppEmergency.Caption"));
    gtvAppEmergency->setHorizontalHeaderLabels(
        {Tx("gtvAppEmergencySERVICE_ID.Caption"), Tx("gtvAppEmergencySERVICE_NAME.Caption"),
         Tx("gtvAppEmergencyPOSITION.Caption"), Tx("gtvAppEmergencySTATUS.Caption"),
         Tx("gtvAppEmergencyCREATE_DATE.Caption"), QStringLiteral("State")});
    gtvAppEmergencyLog->setHorizontalHeaderLabels(
        {Tx("gtvAppEmergencyLogRowNo.Caption"), Tx("gtvAppEmergencyLogCREATE_DATE.Caption"),
         Tx("gtvAppEmergencyLogDescription.Caption"), QStringLiteral("Lat"), QStringLiteral("Lng")});
    actAppEmergencyOpen->setText(Tx("pnlAppEmergency.Caption"));
    actAppEmergencyClose->setText(Tx("actAppEmergencyClose.Caption"));
    actAppEmergencyAdd->setText(FAppEmergencyMode == aemAdd ? Tx("AppEmergency.Cancel")
                                                             : Tx("actAppEmergencyAdd.Caption"));
    actAppEmergencySave->setText(Tx("actAppEmergencySave.Caption"));
    actAppEmergencyDel->setText(Tx("actAppEmergencyDel.Caption"));
    actAppEmergencyChangeStatus->setText(Tx("actAppEmergencyChangeStatus.Caption"));
    for (int r = 0; r < gtvAppEmergency->rowCount() && r < FList.Rows.size(); ++r)
        if (QTableWidgetItem *it = gtvAppEmergency->item(r, scStatus))
            it->setText(StatusText(FList.Rows.at(r).Status));
}

QString TAppEmergencyPanel::StatusText(int status) const
{
    switch (status) {
    case 0:
        return Tx("AppEmergency.Status0");
    case 1:
        return Tx("AppEmergency.Status1");
    case 2:
        return Tx("AppEmergency.Status2");
    default:
        return QString::number(status);
    }
}

void TAppEmergencyPanel::UpdateActions()
{
    const bool toggle = CanToggle();
    actAppEmergencyOpen->setEnabled(toggle);
    actAppEmergencyClose->setEnabled(toggle);
    actAppEmergencySave->setEnabled(CanSave());
    actAppEmergencyDel->setEnabled(CanDelete());
    actAppEmergencyAdd->setText(FAppEmergencyMode == aemAdd ? Tx("AppEmergency.Cancel")
                                                             : Tx("actAppEmergencyAdd.Caption"));
}

bool TAppEmergencyPanel::CanToggle() const
{
    const bool loading = FPage && FPage->IsLoading();
    return !loading && FAppEmergencyMode == aemNormal && FList.Rows.isEmpty();
}

bool TAppEmergencyPanel::CanSave() const { return FAppEmergencyMode == aemAdd; }

bool TAppEmergencyPanel::CanDelete() const
{
    if (FAppEmergencyMode != aemNormal)
        return false;
    const int i = FList.IndexOf(FocusedId());
    return i >= 0 && FList.Rows.at(i).Status == 0;
}

void TAppEmergencyPanel::RunScript(const QString &script)
{
    if (!script.isEmpty() && FPage && FPage->BrowserExists())
        FPage->ExecuteJavaScript(script);
}

QString TAppEmergencyPanel::FocusedId() const
{
    const int r = gtvAppEmergency->currentRow();
    if (r < 0 || r >= gtvAppEmergency->rowCount())
        return QString();
    const QTableWidgetItem *it = gtvAppEmergency->item(r, scServiceId);
    return it ? it->text() : QString();
}

void TAppEmergencyPanel::SyncGrid(const QString &focusId)
{
    FSyncing = true;
    gtvAppEmergency->setRowCount(int(FList.Rows.size()));
    int focusRow = -1;
    for (int r = 0; r < FList.Rows.size(); ++r) {
        const TAppServiceRow &row = FList.Rows.at(r);
        const QStringList texts = {row.ServiceId, row.ServiceName, row.Position, StatusText(row.Status),
                                   row.CreateDate.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), row.State};
        for (int c = 0; c < scCount; ++c) {
            QTableWidgetItem *it = gtvAppEmergency->item(r, c);
            if (!it) {
                it = new QTableWidgetItem;
                gtvAppEmergency->setItem(r, c, it);
            }
            it->setText(texts.at(c));
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            // Only the name of a service being added can be typed.
            if (c == scServiceName && row.State == QLatin1String("I"))
                flags |= Qt::ItemIsEditable;
            it->setFlags(flags);
        }
        if (row.ServiceId == focusId)
            focusRow = r;
    }
    if (focusRow >= 0) {
        gtvAppEmergency->setCurrentCell(focusRow, scServiceName);
    } else {
        gtvAppEmergency->setCurrentCell(-1, -1);
        gtvAppEmergency->clearSelection();
    }
    FLastFocusId = focusRow >= 0 ? focusId : QString();
    FSyncing = false;
    UpdateActions();
}

void TAppEmergencyPanel::ClearSelected()
{
    FServiceID.clear();
    FRouteJson.clear();
    RunScript(AppEmergencyScript::ClearRoute());
    gtvAppEmergencyLog->setRowCount(0);
}

void TAppEmergencyPanel::RemoveRow(const QString &serviceId)
{
    const int i = FList.IndexOf(serviceId);
    if (i >= 0)
        FList.Rows.removeAt(i);
    RunScript(AppEmergencyScript::RemoveMarker(serviceId));
    if (serviceId == FServiceID)
        ClearSelected();
}

void TAppEmergencyPanel::actAppEmergencyOpenExecute()
{
    if (!FOpen && FCloseOtherPanels)
        FCloseOtherPanels();
    FOpen = !FOpen;
    setVisible(FOpen);
    if (!FOpen) {
        RunScript(AppEmergencyScript::ClearAll());
        ttAppEmergency->stop();
        FList.Rows.clear();
        SyncGrid(QString());
        // The route layers are empty now: a route shown again must be drawn again.
        FServiceID.clear();
        FRouteJson.clear();
        gtvAppEmergencyLog->setRowCount(0);
        emit openChanged(false);
        return;
    }
    QList<TAppService> services;
    if (!Db().LoadOpenServices(services))
        services.clear();
    FList.Load(services);
    for (const TAppService &s : services)
        RunScript(AppEmergencyScript::Marker(s));
    SyncGrid(QString());
    if (!FList.Rows.isEmpty()) {
        SyncGrid(FList.Rows.first().ServiceId);
        FLastFocusId.clear();
        gtvAppEmergencyFocusedRecordChanged();
        gtvAppEmergencyDblClick();
    }
    ttAppEmergency->start();
    UpdateActions();
    emit openChanged(true);
}

void TAppEmergencyPanel::ClosePanel()
{
    if (!FOpen)
        return;
    if (FAppEmergencyMode == aemAdd)
        actAppEmergencyAddExecute(); // cancels the service being added
    actAppEmergencyOpenExecute();
}

void TAppEmergencyPanel::ttAppEmergencyTimer()
{
    if (!FOpen)
        return;
    QList<TAppService> services;
    if (!Db().LoadOpenServices(services))
        services.clear();
    const QString focus = FocusedId();
    const TAppEmergencyList::TPollChanges ch = FList.MergePoll(services);
    for (const TAppService &s : ch.Added)
        RunScript(AppEmergencyScript::Marker(s));
    for (const QString &id : ch.Removed) {
        RunScript(AppEmergencyScript::RemoveMarker(id));
        if (id == FServiceID)
            ClearSelected();
    }
    SyncGrid(focus);
    if (!FocusedId().isEmpty() && !FServiceID.isEmpty()) {
        LoadAppRoute(FServiceID);
        LoadAppEvents(FServiceID);
    }
}

void TAppEmergencyPanel::gtvAppEmergencyFocusedRecordChanged()
{
    const QString id = FocusedId();
    if (id == FLastFocusId)
        return; // the focus did not really move
    FLastFocusId = id;
    const bool running = ttAppEmergency->isActive();
    ttAppEmergency->stop();
    FServiceID = id;
    if (!id.isEmpty()) {
        LoadAppRoute(id);
        gtvAppEmergencyLog->setRowCount(0);
        LoadAppEvents(id);
    }
    if (running || FOpen)
        ttAppEmergency->start();
    UpdateActions();
}

void TAppEmergencyPanel::gtvAppEmergencyDblClick()
{
    const int i = FList.IndexOf(FocusedId());
    if (i >= 0)
        RunScript(AppEmergencyScript::PanTo(FList.Rows.at(i).Position));
}

void TAppEmergencyPanel::LoadAppRoute(const QString &serviceId)
{
    QString route;
    bool found = false;
    if (!Db().LoadRoute(serviceId, &route, &found))
        found = false;
    if (!found) {
        RunScript(AppEmergencyScript::ClearRoute());
        FRouteJson.clear();
        return;
    }
    if (route == FRouteJson)
        return;
    FRouteJson = route;
    RunScript(AppEmergencyScript::Route(route));
}

void TAppEmergencyPanel::LoadAppEvents(const QString &serviceId)
{
    QString after;
    if (gtvAppEmergencyLog->rowCount() > 0) {
        if (const QTableWidgetItem *it = gtvAppEmergencyLog->item(0, ecCreateDate))
            after = it->text();
    }
    QList<TAppEvent> events;
    if (!Db().LoadEvents(serviceId, after, events))
        return;
    for (const TAppEvent &e : events) {
        gtvAppEmergencyLog->insertRow(0);
        const QStringList texts = {QString::number(gtvAppEmergencyLog->rowCount()), e.CreateText,
                                   TAppEmergencyDb::EventDescription(e), e.Lat.toString(), e.Lng.toString()};
        for (int c = 0; c < ecCount; ++c)
            gtvAppEmergencyLog->setItem(0, c, new QTableWidgetItem(texts.at(c)));
    }
}

bool TAppEmergencyPanel::FocusService(const QString &serviceId)
{
    const int i = FList.IndexOf(serviceId);
    if (i < 0)
        return false;
    gtvAppEmergency->setCurrentCell(i, scServiceName);
    gtvAppEmergencyFocusedRecordChanged();
    return true;
}

void TAppEmergencyPanel::SetNewServiceName(const QString &serviceId, const QString &name)
{
    const int i = FList.IndexOf(serviceId);
    if (i < 0 || FList.Rows.at(i).State != QLatin1String("I"))
        return;
    FList.Rows[i].ServiceName = name;
    // An editor open on the cell shows the same name, so that closing it keeps it.
    if (auto *editor = qobject_cast<QLineEdit *>(gtvAppEmergency->indexWidget(
            gtvAppEmergency->model()->index(i, scServiceName)))) {
        if (editor->text() != name)
            editor->setText(name);
    }
    if (QTableWidgetItem *it = gtvAppEmergency->item(i, scServiceName)) {
        if (it->text() != name) {
            FSyncing = true;
            it->setText(name);
            FSyncing = false;
        }
    }
    RunScript(AppEmergencyScript::Tooltip(serviceId, name));
}

void TAppEmergencyPanel::actAppEmergencyAddExecute()
{
    if (FAppEmergencyMode == aemNormal) {
        const QString id = TAppEmergencyDb::NewServiceId(QDateTime::currentDateTime());
        if (FList.IndexOf(id) >= 0)
            return; // one new service per second
        FAppEmergencyMode = aemAdd;
        FList.AddNew(id);
        SyncGrid(id);
        FLastFocusId.clear(); // the focus moved to the new row
        gtvAppEmergencyFocusedRecordChanged();
        RunScript(AppEmergencyScript::NewMarker(id, Tx("AppEmergency.MarkerPopup")));
        gtvAppEmergency->setFocus();
        const int row = FList.IndexOf(id);
        if (isVisible() && row >= 0)
            gtvAppEmergency->editItem(gtvAppEmergency->item(row, scServiceName));
    } else {
        for (const QString &id : FList.CancelNew()) {
            RunScript(AppEmergencyScript::CancelMarker(id));
            if (id == FServiceID)
                ClearSelected();
        }
        FAppEmergencyMode = aemNormal;
        SyncGrid(FocusedId());
    }
    UpdateActions();
}

bool TAppEmergencyPanel::CommitNameEdit()
{
    // A name still in its editor is taken before the row is judged.
    QWidget *fw = QApplication::focusWidget();
    if (!fw || !gtvAppEmergency->viewport()->isAncestorOf(fw))
        return false;
    fw->clearFocus();
    QCoreApplication::processEvents();
    return true;
}

void TAppEmergencyPanel::actAppEmergencySaveExecute()
{
    if (FAppEmergencyMode != aemAdd || FList.Rows.isEmpty())
        return;
    CommitNameEdit();
    TAppServiceRow &row = FList.Rows.last();
    const QString title = PanelAppTitle();
    if (row.ServiceName.trimmed().isEmpty()) {
        ShowMsgDlg(this, title, DM ? DM->T_CheckRequiredField : Tx("strCheckRequiredField"),
                   DM ? DM->T_ValidationCaption : Tx("strValidationCaption"), QString(), mkError);
        const int r = int(FList.Rows.size()) - 1;
        gtvAppEmergency->setCurrentCell(r, scServiceName);
        if (isVisible() && !CommitNameEdit())
            gtvAppEmergency->editItem(gtvAppEmergency->item(r, scServiceName));
        return;
    }
    const QString position = row.Position.trimmed().isEmpty() ? QStringLiteral("37,127") : row.Position;
    const QString lat = position.section(QLatin1Char(','), 0, 0);
    const QString lng = position.section(QLatin1Char(','), 1);
    QString error;
    if (!Db().InsertService(row.ServiceId, row.ServiceName, lat, lng, &error)) {
        ShowMsgDlg(this, title, DM ? DM->T_SaveFailMsg : Tx("strSaveFailMsg"), DM ? DM->T_SaveFailCaption : Tx("strSaveFailCaption"),
                   error, mkError);
        return;
    }
    row.State.clear();
    RunScript(AppEmergencyScript::Saved(row.ServiceId));
    FAppEmergencyMode = aemNormal;
    SyncGrid(FocusedId());
    UpdateActions();
}

void TAppEmergencyPanel::actAppEmergencyDelExecute()
{
    if (!CanDelete())
        return;
    const QString id = FocusedId();
    const QString title = PanelAppTitle();
    if (ShowMsgDlg(this, title, Tx("AppEmergency.DelMsg"), Tx("AppEmergency.DelCaption"), QString(), mkQuestion)
        != mrYes)
        return;
    QString error;
    if (!Db().DeleteService(id, &error)) {
        ShowMsgDlg(this, title, Tx("AppEmergency.DelFailMsg"), Tx("AppEmergency.DelFailCaption"), error, mkError);
        return;
    }
    RemoveRow(id);
    FAppEmergencyMode = aemNormal;
    SyncGrid(QString());
    UpdateActions();
}

void TAppEmergencyPanel::actAppEmergencyChangeStatusExecute()
{
    const QString id = FocusedId();
    const int i = FList.IndexOf(id);
    if (i < 0)
        return;
    const QString title = PanelAppTitle();
    const QString text = PanelFormat(Tx("AppEmergency.FinishMsg"),
                                     {FList.Rows.at(i).ServiceName, id, QStringLiteral("\n"), QStringLiteral("\n")});
    if (ShowMsgDlg(this, title, text, Tx("AppEmergency.FinishCaption"), QString(), mkQuestion) != mrYes)
        return;
    QString error;
    if (!Db().FinishService(id, &error)) {
        ShowMsgDlg(this, title, Tx("AppEmergency.FinishFailMsg"), Tx("AppEmergency.FinishFailCaption"), error,
                   mkError);
        return;
    }
    RemoveRow(id);
    SyncGrid(QString());
    UpdateActions();
}

void TAppEmergencyPanel::RegisterPageMessages(TPageMessageTable &table)
{
    for (const QString name : {QStringLiteral("dragEnd"), QStringLiteral("selectServiceID")})
        table.AddNative(name, [this, name](const QVariantList &args) { HandleNative(name, args); });
}

bool TAppEmergencyPanel::HandleNative(const QString &name, const QVariantList &args)
{
    if (name == QLatin1String("dragEnd")) {
        dragEnd(NativeArgStr(args, 0), NativeArgNumText(args, 1), NativeArgNumText(args, 2));
        return true;
    }
    if (name == QLatin1String("selectServiceID")) {
        selectServiceID(NativeArgStr(args, 0));
        return true;
    }
    return false;
}

void TAppEmergencyPanel::dragEnd(const QString &serviceId, const QString &lat, const QString &lng)
{
    // Only the marker of a service being added can be dragged: its row keeps where it lies.
    const int i = FList.IndexOf(serviceId);
    if (i < 0 || FList.Rows.at(i).State != QLatin1String("I") || lat.isEmpty() || lng.isEmpty())
        return;
    FList.Rows[i].Position = lat + QLatin1Char(',') + lng;
    if (QTableWidgetItem *it = gtvAppEmergency->item(i, scPosition)) {
        FSyncing = true;
        it->setText(FList.Rows.at(i).Position);
        FSyncing = false;
    }
}

void TAppEmergencyPanel::selectServiceID(const QString &serviceId)
{
    FocusService(serviceId);
}
