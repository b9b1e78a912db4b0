#include "mainwindow/MapLayerThreadUnit.h"

#include "mainwindow/MapViewControllerUnit.h"
#include "core/Quorval.h"

#include <QPointer>
#include <QWebEngineView>

TMapLayerThread::TMapLayerThread(const QString &AName, const QString &ALatLng, const TDBConnectionFactory &AFactory,
                                 TMapViewController *AChromium, QObject *parent)
    : QThread(parent), FName(AName), FBox(TMapBox::FromBBoxString(ALatLng)), FFactory(AFactory)
{
    setObjectName(FName);
    FSouthWestLng = FBox.SouthWestLng;
    FSouthWestLat = FBox.SouthWestLat;
    FNorthEastLng = FBox.NorthEastLng;
    FNorthEastLat = FBox.NorthEastLat;
    if (AChromium)
        connect(this, &TMapLayerThread::scriptReady, AChromium, &TMapViewController::ExecuteJavaScript,
                Qt::QueuedConnection);
}

void TMapLayerThread::StartReporting(TMapViewController *AChromium)
{
    if (AChromium) {
        QWidget *owner = AChromium->MapView() ? AChromium->MapView()->window() : nullptr;
        QPointer<QWidget> guard(owner);
        connect(this, &TMapLayerThread::queryFailed, AChromium,
                [guard](const QString &e) { ReportLayerQueryError(guard, e); }, Qt::QueuedConnection);
    }
    Start();
}

void TMapLayerThread::Start()
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

void TMapLayerThread::run()
{
    QString json = MapLayerGeoJson::EmptyCollection();
    {
        TThreadConnection con(FFactory, FName);
        QString error;
        if (!con.isOpen()) {
            error = con.error();
        } else {
            ReadGeoJson(con.db(), &json, &error);
        }
        if (!error.isEmpty()) {
            json = MapLayerGeoJson::EmptyCollection();
            if (con.isOpen())
                emit queryFailed(error); // a lost connection is not shown (worker error filter)
        }
    }
    emit geoJsonReady(json);
    emit scriptReady(LayerScript(json));
}

void ReportLayerQueryError(QWidget *owner, const QString &error)
{
    const QString title = DM ? DM->G_APP_TITLE : QString();
    const QString text = DM ? DM->T_QueryFailMsg : QStringLiteral("Query failed.");
    const QString caption = DM ? DM->T_QueryFailCaption : QString();
    ShowMsgDlg(owner, title, text, caption, error, mkError);
}
