#include "LinkThreadUnit.h"

#include "MapViewControllerUnit.h"
#include "NodeThreadUnit.h"

#include <QPointer>
#include <QWebEngineView>

TLinkThread::TLinkThread(const QString &ALatLng, const TDBConnectionFactory &AFactory, bool AGeometryFunc,
                         TMapViewController *AChromium, QObject *parent)
    : QThread(parent), FBox(TMapBox::FromBBoxString(ALatLng)), FFactory(AFactory), FGeometryFunc(AGeometryFunc)
{
    setObjectName(QStringLiteral("TLinkThread"));
    FSouthWestLng = FBox.SouthWestLng;
    FSouthWestLat = FBox.SouthWestLat;
    FNorthEastLng = FBox.NorthEastLng;
    FNorthEastLat = FBox.NorthEastLat;
    if (AChromium)
        connect(this, &TLinkThread::scriptReady, AChromium, &TMapViewController::ExecuteJavaScript,
                Qt::QueuedConnection);
}

TLinkThread *TLinkThread::Create(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                                 TMapViewController *AChromium)
{
    auto *t = new TLinkThread(ALatLng, AFactory, DM ? DM->G_GEOMETRY_FUNC : false, AChromium);
    if (AChromium) {
        QWidget *owner = AChromium->MapView() ? AChromium->MapView()->window() : nullptr;
        QPointer<QWidget> guard(owner);
        connect(t, &TLinkThread::queryFailed, AChromium,
                [guard](const QString &e) { ReportLayerQueryError(guard, e); }, Qt::QueuedConnection);
    }
    t->Start();
    return t;
}

void TLinkThread::Start()
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

void TLinkThread::run()
{
    QString json = MapLayerGeoJson::EmptyCollection();
    {
        TThreadConnection con(FFactory, QStringLiteral("TLinkThread"));
        QString error;
        if (!con.isOpen()) {
            error = con.error();
        } else {
            MapLayerGeoJson::LinkGeoJson(con.db(), FFactory.DBType(), FGeometryFunc, FBox, &json, &error);
        }
        if (!error.isEmpty()) {
            json = MapLayerGeoJson::EmptyCollection();
            if (con.isOpen())
                emit queryFailed(error);
        }
    }
    emit geoJsonReady(json);
    emit scriptReady(MapLayerGeoJson::LinkLayerScript(json));
}
