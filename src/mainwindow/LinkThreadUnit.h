#pragma once
// Link layer of a map box on a worker thread: reads the links that lie in the box
// with its own database connection (by their geometry or by their points, as the
// geometry setting says), turns them into GeoJSON and hands the page script (page
// globals linkLayer, linkObj) to the map view. The thread frees itself when it ends.
#include "mainwindow/MapLayerThreadUnit.h"

class TLinkThread : public TMapLayerThread
{
    Q_OBJECT
public:
    TLinkThread(const QString &ALatLng, const TDBConnectionFactory &AFactory, bool AGeometryFunc,
                TMapViewController *AChromium, QObject *parent = nullptr);
    // Creates, connects and starts a thread; the geometry setting is the data module's.
    static TLinkThread *Create(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                               TMapViewController *AChromium);

protected:
    bool ReadGeoJson(const QSqlDatabase &db, QString *json, QString *error) const override;
    QString LayerScript(const QString &geoJson) const override;

private:
    bool FGeometryFunc;
};
