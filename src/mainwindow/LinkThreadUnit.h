#pragma once
// Link layer of a map box on a worker thread: reads the links that lie in the box
// with its own database connection (by their geometry or by their points, as the
// geometry setting says), turns them into GeoJSON and hands the page script (page
// globals linkLayer, linkObj) to the map view. The thread frees itself when it ends.
#include <QThread>

#include "MapLayerGeoJson.h"
#include "untDM.h"

class TMapViewController;

class TLinkThread : public QThread
{
    Q_OBJECT
public:
    TLinkThread(const QString &ALatLng, const TDBConnectionFactory &AFactory, bool AGeometryFunc,
                TMapViewController *AChromium, QObject *parent = nullptr);
    // Creates, connects and starts a thread; the geometry setting is the data module's.
    static TLinkThread *Create(const QString &ALatLng, const TDBConnectionFactory &AFactory,
                               TMapViewController *AChromium);
    void Start();

    QString FNorthEastLat, FNorthEastLng, FSouthWestLat, FSouthWestLng;

signals:
    void geoJsonReady(const QString &geoJson);
    void scriptReady(const QString &script);
    void queryFailed(const QString &error);

protected:
    void run() override;

private:
    TMapBox FBox;
    TDBConnectionFactory FFactory;
    bool FGeometryFunc;
};
