#pragma once
// The services the main window takes from outside: windows written elsewhere that it
// creates (intersection monitor, current-event window), the state-list opener, the
// menu builder, the local application server and the desktop's file opener. One
// process-wide object holds them; an empty member means the window's own default.
// Tests replace members for a scope (TScopedMainServices); the program registers its
// windows' factories once at start.
#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>

#include "centrelink/RC2MMIUnit.h"
#include "core/MainContracts.h"
#include "foundation/TypeUnit.h"

class QWidget;
class TfrmMain;

struct TMainServices
{
    // Creates an intersection monitor for OpenLCMonitor (owner, live record, movement
    // colour, second movement colour). The window should implement IMonitorView.
    using TLcMonitorFactory = std::function<QWidget *(TfrmMain *, const PSTT_LC_INFO &, const QColor &, const QColor &)>;
    // Creates the current-event window, hidden and owned by the main window, at start.
    using TWindowFactory = std::function<QWidget *(TfrmMain *)>;
    // Opens (or brings forward) the state list and applies a counter's filter.
    using TStateListOpener = std::function<void(TfrmMain *, const TStateListFilter &)>;
    // Fills the two-level menu for admin mode and grade (and binds grade rules).
    using TMenuBuilder = std::function<void(TfrmMain *, bool adminMode, int grade, TArrayOvikTwoLevelMenu &menu)>;
    // Starts the local application server; sends it a command (error code; *connected
    // false when it cannot be reached).
    using TAppServerLauncher = std::function<bool(const QString &program)>;
    using TAppServerSender = std::function<int(const QString &command, bool *connected)>;
    // Opens a local file or program with the desktop.
    using TShellOpen = std::function<bool(const QString &path, const QStringList &arguments)>;

    TLcMonitorFactory LcMonitorFactory;
    TWindowFactory CurrentEventFactory;
    TStateListOpener StateListOpener;
    TMenuBuilder MenuBuilder;
    TAppServerLauncher AppServerLauncher;
    TAppServerSender AppServerSender;
    TShellOpen ShellOpen;

    // The services in use.
    static TMainServices &Current();
};

// Changes the services for the life of the guard; the ones before come back after.
//     TScopedMainServices scope([&](TMainServices &s) { s.ShellOpen = ...; });
class TScopedMainServices
{
public:
    explicit TScopedMainServices(const std::function<void(TMainServices &)> &change)
        : FSaved(TMainServices::Current())
    {
        if (change)
            change(TMainServices::Current());
    }
    ~TScopedMainServices() { TMainServices::Current() = FSaved; }
    TScopedMainServices(const TScopedMainServices &) = delete;
    TScopedMainServices &operator=(const TScopedMainServices &) = delete;

private:
    TMainServices FSaved;
};
