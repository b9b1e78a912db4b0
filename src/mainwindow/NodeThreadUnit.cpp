#include "mainwindow/NodeThreadUnit.h"

TNodeThread::TNodeThread(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                         TMapViewController *AChromium, QObject *parent)
    : TMapLayerThread(QStringLiteral("TNodeThread"), ALatLng, AFactory, AChromium, parent)
{
}

TNodeThread *TNodeThread::Create(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                                 TMapViewController *AChromium)
{
    auto *t = new TNodeThread(ALatLng, AFactory, AChromium);
    t->StartReporting(AChromium);
    return t;
}

bool TNodeThread::ReadGeoJson(const QSqlDatabase &db, QString *json, QString *error) const
{
    return MapLayerGeoJson::NodeGeoJson(db, FBox, json, error);
}

QString TNodeThread::LayerScript(const QString &geoJson) const
{
    return MapLayerGeoJson::NodeLayerScript(geoJson);
}
