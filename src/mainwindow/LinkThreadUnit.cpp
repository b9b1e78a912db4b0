#include "mainwindow/LinkThreadUnit.h"

TLinkThread::TLinkThread(const QString &ALatLng, const TDBConnectionFactory &AFactory, bool AGeometryFunc,
                         TMapViewController *AChromium, QObject *parent)
    : TMapLayerThread(QStringLiteral("TLinkThread"), ALatLng, AFactory, AChromium, parent),
      FGeometryFunc(AGeometryFunc)
{
}

TLinkThread *TLinkThread::Create(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                                 TMapViewController *AChromium)
{
    auto *t = new TLinkThread(ALatLng, AFactory, DM ? DM->G_GEOMETRY_FUNC : false, AChromium);
    t->StartReporting(AChromium);
    return t;
}

bool TLinkThread::ReadGeoJson(const QSqlDatabase &db, QString *json, QString *error) const
{
    return MapLayerGeoJson::LinkGeoJson(db, FFactory.DBType(), FGeometryFunc, FBox, json, error);
}

QString TLinkThread::LayerScript(const QString &geoJson) const
{
    return MapLayerGeoJson::LinkLayerScript(geoJson);
}
