#pragma once
// The main window's handlers of its legend panel: colour choices (groups, states,
// green movements), marker shapes and sizes, group opacity and size, the movement
// labels, and a click on a status counter (the state list by that counter). Each
// change goes to the map page as a script through the window's bridge.
#include <QObject>

class TColorShape;
class TLegendPanel;
class TfrmMain;
struct TStatusCounterDef;

class TMainLegendHandlers : public QObject
{
    Q_OBJECT
public:
    // Connects the panel's signals to the handlers.
    TMainLegendHandlers(TfrmMain *main, TLegendPanel *panel);

    void SAColorSelectMouseDown(TColorShape *shape);
    void LCStatusColorSelectMouseMouseDown(TColorShape *shape);
    void GreenMvmtColorSelectMouseDown(TColorShape *shape);
    void LCShapeChange(int tag);
    void LCSizeChange(int tag);
    void SAOpacityChange();
    void ttChangeSATimer();
    void MvmtLabelDispClick();
    void CounterClick(const TStatusCounterDef &def);

private:
    TfrmMain *FMain;
    TLegendPanel *FPanel;
};
