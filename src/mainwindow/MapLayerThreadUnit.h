#pragma once
// What the node and link layer threads share: a map box read on a worker thread with
// its own database connection, turned into GeoJSON and handed as a page script to the
// map view, whose page runs it on the user-interface thread. The thread frees itself
// when it ends.
#include <QThread>

#include "foundation/MapLayerGeoJson.h"
#include "core/untDM.h"

class TMapViewController;

class TMapLayerThread : public QThread
{
    Q_OBJECT
public:
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
    // ALatLng: the box as Leaflet's toBBoxString() gives it. The script goes to
    // AChromium's page (nothing when it is null or gone). AName names the thread
    // and its connection.
    TMapLayerThread(const QString &AName, const QString &ALatLng, const TDBConnectionFactory &AFactory,
                    TMapViewController *AChromium, QObject *parent);
    // Shows the thread's query errors over AChromium's window, then starts it.
    void StartReporting(TMapViewController *AChromium);

    void run() override;
    // The layer's collection of the box (false with *error on a database error).
    virtual bool ReadGeoJson(const QSqlDatabase &db, QString *json, QString *error) const = 0;
    // The page script that shows a collection.
    virtual QString LayerScript(const QString &geoJson) const = 0;

    const QString FName;
    TMapBox FBox;
    TDBConnectionFactory FFactory;
};

// Shows a layer thread's database error on the user-interface thread the way the data
// module reports a failed query (connect a thread's queryFailed to it).
void ReportLayerQueryError(QWidget *owner, const QString &error);
