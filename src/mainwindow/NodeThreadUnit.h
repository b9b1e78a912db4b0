#pragma once
// Node layer of a map box on a worker thread: reads the nodes of SCS_M_NODE that lie
// in the box with its own database connection, turns them into GeoJSON and hands the
// page script (page global nodeLayer) to the map view, whose page runs it on the
// user-interface thread. The thread frees itself when it ends.
#include "mainwindow/MapLayerThreadUnit.h"

class TNodeThread : public TMapLayerThread
{
    Q_OBJECT
public:
    // ALatLng: the box as Leaflet's toBBoxString() gives it. The script goes to
    // AChromium's page (nothing when it is null or gone). Call Start() to run.
    TNodeThread(const QString &ALatLng, const TDBConnectionFactory &AFactory, TMapViewController *AChromium,
                QObject *parent = nullptr);
    // Creates, connects and starts a thread (the usual way).
    static TNodeThread *Create(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                               TMapViewController *AChromium);

protected:
    bool ReadGeoJson(const QSqlDatabase &db, QString *json, QString *error) const override;
    QString LayerScript(const QString &geoJson) const override;
};
