#include "NodeThreadUnit.h"

#include "MapViewControllerUnit.h"
#include "Quorval.h"

#include <QWebEngineView>

TNodeThread::TNodeThread(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                         TMapViewController *AChromium, QObject *parent)
    : QThread(parent), FBox(TMapBox::FromBBoxString(ALatLng)), FFactory(AFactory)
{
    setObjectName(QStringLiteral("TNodeThread"));
    FSouthWestLng = FBox.SouthWestLng;
    FSouthWestLat = FBox.SouthWestLat;
    FNorthEastLng = FBox.NorthEastLng;
    FNorthEastLat = FBox.NorthEastLat;
    if (AChromium)
        connect(this, &TNodeThread::scriptReady, AChromium, &TMapViewController::ExecuteJavaScript,
                Qt::QueuedConnection);
}

TNodeThread *TNodeThread::Create(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                                 TMapViewController *AChromium)
{
    auto *t = new TNodeThread(ALatLng, AFactory, AChromium);
    if (AChromium) {
        QWidget *owner = AChromium->MapView() ? AChromium->MapView()->window() : nullptr;
        QPointer<QWidget> guard(owner);
        connect(t, &TNodeThread::queryFailed, AChromium,
                [guard](const QString &e) { ReportLayerQueryError(guard, e); }, Qt::QueuedConnection);
    }
    t->Start();
    return t;
}

void TNodeThread::Start()
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

void TNodeThread::run()
{
    QString json = MapLayerGeoJson::EmptyCollection();
    {
        TThreadConnection con(FFactory, QStringLiteral("TNodeThread"));
        QString error;
        if (!con.isOpen()) {
            error = con.error();
        } else {
            MapLayerGeoJson::NodeGeoJson(con.db(), FBox, &json, &error);
        }
        if (!error.isEmpty()) {
            json = MapLayerGeoJson::EmptyCollection();
            if (con.isOpen())
                emit queryFailed(error); // a lost connection is not shown (worker error filter)
        }
    }
    emit geoJsonReady(json);
    emit scriptReady(MapLayerGeoJson::NodeLayerScript(json));
}

void ReportLayerQueryError(QWidget *owner, const QString &error)
{
    const QString title = DM ? DM->G_APP_TITLE : QString();
    const QString text = DM ? DM->T_QueryFailMsg : QStringLiteral("Query failed.");
    const QString caption = DM ? DM->T_QueryFailCaption : QString();
    ShowMsgDlg(owner, title, text, caption, error, mkError);
}
