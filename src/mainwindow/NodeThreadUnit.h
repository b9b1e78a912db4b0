#pragma once
// Node layer of a map box on a worker thread: reads the nodes of SCS_M_NODE that lie
// in the box with its own database connection, turns them into GeoJSON and hands the
// page script (page global nodeLayer) to the map view, whose page runs it on the
// user-interface thread. The thread frees itself when it ends.
#include <QPointer>
#include <QThread>

#include "MapLayerGeoJson.h"
#include "untDM.h"

class TMapViewController;

class TNodeThread : public QThread
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
    // Starts the thread; it deletes itself when it has finished.
    void Start();

    QString FNorthEastLat, FNorthEastLng, FSouthWestLat, FSouthWestLng;

signals:
    // The collection, on the worker thread (queued to receivers elsewhere).
    void geoJsonReady(const QString &geoJson);
    // The page script, handed to the map view's ExecuteJavaScript.
    void scriptReady(const QString &script);
    // A database error (not a connection-class error) to report on the user-interface thread.
    void queryFailed(const QString &error);

protected:
    void run() override;

private:
    TMapBox FBox;
    TDBConnectionFactory FFactory;
};

// Shows a layer thread's database error on the user-interface thread the way the data
// module reports a failed query (connect a thread's queryFailed to it).
void ReportLayerQueryError(QWidget *owner, const QString &error);
