#pragma once
// The control windows that the main window's actions open (intersection control,
// group control), registered with the window openers (core/MainContracts.h).
// Called once by main.cpp (and by tests that open them).
void RegisterControlWindows();

class IMainWindow;
class QWidget;
struct TStateListFilter;

// The current-event window, created hidden with the main window (owner) at start.
QWidget *CreateCurrentEventWindow(IMainWindow *main, QWidget *owner);
// A status counter's filter for the open intersection state list: filters reset, the
// counter's item set, the list refreshed. Nothing when the list is not open.
void ApplyStateListFilter(const TStateListFilter &filter);
