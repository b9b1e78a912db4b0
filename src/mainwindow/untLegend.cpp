#include "mainwindow/untLegend.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "foundation/JsEscape.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"
#include "core/siLang.h"

// ---------------------------------------------------------------------------
// Colour dialog
// ---------------------------------------------------------------------------

namespace {
TColorChooser &chooser()
{
    static TColorChooser c;
    return c;
}
} // namespace

TColorChooser SetColorChooser(TColorChooser c)
{
    TColorChooser previous = chooser();
    chooser() = std::move(c);
    return previous;
}

QColor ChooseColor(QWidget *owner, const QColor &initial)
{
    if (chooser())
        return chooser()(owner, initial);
    const QColor c = QColorDialog::getColor(initial, owner);
    return c.isValid() ? c : QColor();
}

// ---------------------------------------------------------------------------
// Status counters
// ---------------------------------------------------------------------------

const QList<TStatusCounterDef> &StatusCounterDefs()
{
    static const QList<TStatusCounterDef> defs = {
        {QStringLiteral("lblLcOprSttTotal"), QStringLiteral("lblLcOprSttTotal.Label"), true, -1},
        {QStringLiteral("lblLcOprStt0"), QStringLiteral("lblLcOprStt0.Label"), true, 0},
        {QStringLiteral("lblLcOprStt1"), QStringLiteral("lblLcOprStt1.Label"), true, 1},
        {QStringLiteral("lblLcOprStt2"), QStringLiteral("lblLcOprStt2.Label"), true, 2},
        {QStringLiteral("lblLcOprStt3"), QStringLiteral("lblLcOprStt3.Label"), true, 3},
        {QStringLiteral("lblLcOprStt4"), QStringLiteral("lblLcOprStt4.Label"), true, 4},
        {QStringLiteral("lblLcOprStt5"), QStringLiteral("lblLcOprStt5.Label"), true, 5},
        {QStringLiteral("lblSysSttPhaseHold"), QStringLiteral("lblSysSttPhaseHold.Label"), false, 7},
        {QStringLiteral("lblSysSttTrans"), QStringLiteral("lblSysSttTrans.Label"), false, 8},
        {QStringLiteral("lblSysSttCommErr"), QStringLiteral("lblSysSttCommErr.Label"), false, 0},
        {QStringLiteral("lblSysSttLightOut"), QStringLiteral("lblSysSttLightOut.Label"), false, 1},
        {QStringLiteral("lblSysSttFlash"), QStringLiteral("lblSysSttFlash.Label"), false, 2},
        {QStringLiteral("lblSysSttManual"), QStringLiteral("lblSysSttManual.Label"), false, 3},
        {QStringLiteral("lblSysSttConflict"), QStringLiteral("lblSysSttConflict.Label"), false, 4},
        {QStringLiteral("lblSysSttDoorOpen"), QStringLiteral("lblSysSttDoorOpen.Label"), false, 5},
        {QStringLiteral("lblSysSttConflictOff"), QStringLiteral("lblSysSttConflictOff.Label"), false, 6},
        {QStringLiteral("lblSysSttPPC"), QStringLiteral("lblSysSttPPC.Label"), false, 9},
        {QStringLiteral("lblSysSttUnused"), QStringLiteral("lblSysSttUnused.Label"), false, 10},
    };
    return defs;
}

int StatusCounterValue(const TStatusCounterDef &def, const TMonitorCounters &c)
{
    if (def.Mode) {
        if (def.Tag < 0)
            return c.LiveLC;
        return def.Tag < MNTR_COUNTER_SLOTS ? c.OprModeStt[def.Tag] : 0;
    }
    switch (def.Tag) {
    case 0: return c.OprStateStt[0];                                      // 통신이상
    case 1: return c.StateStt[lscLightsOut];                              // 소등
    case 2: return c.StateStt[lscFlash];                                  // 점멸
    case 3: return c.OprStateStt[7] + c.OprStateStt[8] + c.OprStateStt[9]; // 수동
    case 4: return c.StateStt[lscConflict];                               // 모순
    case 5: return c.StateStt[lscDoorOpen];                               // 함체문 열림
    case 6: return c.StateStt[lscConflictDisabled];                       // 모순감지불가
    case 7: return c.OprStateStt[10];                                     // 현시유지
    case 8: return c.OprStateStt[4];                                      // 전이
    case 9: return c.OprStateStt[12];                                     // PPC 모드
    case 10: return c.UnusedLC;                                           // 사용안함
    default: return 0;
    }
}

int ModeItemOfTag(int tag)
{
    switch (tag) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    case 5: return 4;
    default: return 5; // semi-actuated and the total: all operated intersections
    }
}

TStateListFilter CounterFilter(const TStatusCounterDef &def)
{
    TStateListFilter f;
    if (def.Mode)
        f.ModeItem = ModeItemOfTag(def.Tag);
    else
        f.StateItem = def.Tag;
    return f;
}

// ---------------------------------------------------------------------------
// Scripts
// ---------------------------------------------------------------------------

int LcStatusShapeTag(int state, int mode)
{
    if (mode == 3)
        return 12;
    if (state == 9)
        return 6;
    if (state >= 0 && state <= 12)
        return state;
    return -1;
}

namespace LegendScripts {

QString Hash(const QColor &c) { return QLatin1Char('#') + TColorToHex(c); }

static QString selectedRestyle(const QColor &selectedColor)
{
    const QString c = Hash(selectedColor);
    return QStringLiteral(" if (typeof selGroup !== \"undefined\" && typeof window[selGroup] !== \"undefined\") {"
                          " window[selGroup].setStyle({color:\"") + c + QStringLiteral("\", fillColor:\"") + c
           + QStringLiteral("\"}); } ");
}

QString SAColorScript(const QList<int> &saNumbers, const QColor &saColor, const QColor &selectedColor)
{
    const QString c = Hash(saColor);
    QString s;
    for (int g : saNumbers) {
        const QString sa = QStringLiteral("SA") + QString::number(g);
        s += QStringLiteral(" if (typeof ") + sa + QStringLiteral(" !== \"undefined\") { ") + sa
             + QStringLiteral(".setStyle({color:\"") + c + QStringLiteral("\", fillColor:\"") + c
             + QStringLiteral("\"}); }");
    }
    s += selectedRestyle(selectedColor);
    return s;
}

QString SelectedSAColorScript(const QColor &selectedColor) { return selectedRestyle(selectedColor); }

QString StateColorScript(int tag, const QColor &colour, const QList<int> &lcList, const TLC_INFO_SET &set)
{
    const QString c = Hash(colour);
    QString s;
    for (int n : lcList) {
        const PSTT_LC_INFO info = set.GetLcInfo(n);
        if (!info)
            continue;
        const QString lc = QStringLiteral("LC") + QString::number(n);
        const QString guard = QStringLiteral(" if (typeof ") + lc + QStringLiteral(" !== \"undefined\") { ");
        const QString setColor = lc + QStringLiteral(".setStyle({color:\"") + c + QStringLiteral("\"}); ");
        // Semi-actuated intersections show the PPC colour; unused ones the unused colour.
        if (info->oprMode == 3) {
            if (tag == 12)
                s += guard + setColor + QStringLiteral("}");
            continue;
        }
        if (info->virtualLC_No == 0 && !info->is_use) {
            if (tag == 255)
                s += guard + setColor + QStringLiteral("}");
            continue;
        }
        QString body;
        if (tag == 2)
            body += lc + QStringLiteral(".setStyle({blinkColor:\"") + c + QStringLiteral("\"}); ");
        if (LcStatusShapeTag(info->opr_stat, info->oprMode) == tag) {
            if (tag == 5 || tag == 8)
                body += QStringLiteral("var lc = ") + lc + QStringLiteral(";                  if (lc.blinking()) { lc._tmpColor = \"")
                        + c + QStringLiteral("\"; } else { lc.setStyle({color:\"") + c + QStringLiteral("\"}); } ");
            else
                body += setColor;
        }
        if (!body.isEmpty())
            s += guard + body + QStringLiteral("}");
    }
    return s;
}

// " LC<n>.<method>(<value>); " for every marker class.
static QString ClassCallScript(const QList<int> &classList, const QString &method, int value)
{
    QString s;
    for (int n : classList)
        s += QStringLiteral(" LC") + QString::number(n) + QLatin1Char('.') + method + QLatin1Char('(')
             + QString::number(value) + QStringLiteral("); ");
    return s;
}

QString ShapeScript(const QList<int> &classList, int corners)
{
    return ClassCallScript(classList, QStringLiteral("setNumberOfSides"), corners);
}

QString SizeScript(const QList<int> &classList, int radius)
{
    return ClassCallScript(classList, QStringLiteral("setRadius"), radius);
}

QString OpacityScript(const QList<int> &saNumbers, double opacity)
{
    const QString v = QString::number(opacity, 'f', 2);
    QString s;
    for (int g : saNumbers) {
        const QString sa = QStringLiteral("SA") + QString::number(g);
        s += QStringLiteral(" if (typeof ") + sa + QStringLiteral(" !== \"undefined\") {    ") + sa
             + QStringLiteral(".setStyle({      opacity: ") + v + QStringLiteral(",     fillOpacity: ") + v
             + QStringLiteral(" });  } ");
    }
    return s;
}

QString GreenMvmtScript(const QColor &colour)
{
    const QString c = TColorToHex(colour);
    return QStringLiteral(" for (var o in mvmtObj) { mvmtObj[o].setStyle({color:\"#") + c + QStringLiteral("\", fillColor:\"#")
           + c + QStringLiteral("\"}); } ");
}

QString MvmtLabelScript(bool visible)
{
    return QStringLiteral(" if (typeof mvmtObj != \"undefined\") { for (var o in mvmtObj) { mvmtObj[o].setLabelVisible(")
           + JsBool(visible) + QStringLiteral("); } }");
}

} // namespace LegendScripts

// ---------------------------------------------------------------------------
// Widgets
// ---------------------------------------------------------------------------

TColorShape::TColorShape(const QString &name, int tag, QWidget *parent) : QFrame(parent), FTag(tag)
{
    setObjectName(name);
    setFixedSize(28, 14);
    setCursor(Qt::PointingHandCursor);
}

void TColorShape::SetColor(const QColor &c)
{
    FColor = c;
    update();
}

void TColorShape::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    emit mouseDown(this);
}

void TColorShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(FColor);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

TCounterLabel::TCounterLabel(const TStatusCounterDef &def, QWidget *parent) : QLabel(parent), FDef(def)
{
    setObjectName(def.Name);
    setText(QStringLiteral("0"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setCursor(Qt::PointingHandCursor);
    setMinimumWidth(32);
}

void TCounterLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked(FDef);
}

// ---------------------------------------------------------------------------
// The panel
// ---------------------------------------------------------------------------

namespace {
const char *const kClassName[5] = {"MI", "CI", "SCI", "RAMP", "Virtual"};
struct TStateShapeDef
{
    int tag;
    const char *name;
};
const TStateShapeDef kStateShapes[] = {
    {0, "shpLCStatCommErr"},   {1, "shpLCStatOnLine"},    {2, "shpLCStatOffLine"},
    {3, "shpLCStatFail"},      {4, "shpLCStatTrans"},     {5, "shpLCStatFlash"},
    {6, "shpLCStatLightOff"},  {7, "shpLCStatManOpr"},    {8, "shpLCStatManFlash"},
    {9, "shpLCStatManLightOff"}, {10, "shpLCStatPhaseHold"}, {11, "shpLCStatSCUMode"},
    {12, "shpLCStatPPCMode"},  {255, "shpLCStatUnused"},
};
} // namespace

TLegendPanel::TLegendPanel(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("pgcDispIndex"));
    Build();
    siOnLanguageChanged(this, [this] { Retranslate(); }, true);
}

QString TLegendPanel::Tx(const QString &key) const { return siText(QStringLiteral("TfrmMain"), key); }

void TLegendPanel::Build()
{
    auto caption = [this](QWidget *parent, const QString &name) {
        auto *l = new QLabel(parent);
        l->setObjectName(name);
        FCaptions.insert(name, l);
        return l;
    };

    // Status counters.
    tbsStt = new QWidget;
    tbsStt->setObjectName(QStringLiteral("tbsStt"));
    auto *sg = new QGridLayout(tbsStt);
    sg->setContentsMargins(4, 4, 4, 4);
    sg->setVerticalSpacing(2);
    const QList<TStatusCounterDef> &defs = StatusCounterDefs();
    int modeRow = 0, stateRow = 0;
    for (const TStatusCounterDef &d : defs) {
        auto *cap = caption(tbsStt, d.Name + QStringLiteral("Cap"));
        auto *val = new TCounterLabel(d, tbsStt);
        connect(val, &TCounterLabel::clicked, this, &TLegendPanel::counterClicked);
        FCounters << val;
        const int col = d.Mode ? 0 : 2;
        const int row = d.Mode ? modeRow++ : stateRow++;
        sg->addWidget(cap, row, col);
        sg->addWidget(val, row, col + 1);
    }
    sg->setRowStretch(qMax(modeRow, stateRow), 1);
    addTab(tbsStt, QString());

    // Group and intersection shapes.
    tbsShape = new QWidget;
    tbsShape->setObjectName(QStringLiteral("tbsShape"));
    auto *hg = new QGridLayout(tbsShape);
    hg->setContentsMargins(4, 4, 4, 4);
    hg->setVerticalSpacing(2);
    shpSA = new TColorShape(QStringLiteral("shpSA"), 0, tbsShape);
    shpSelSA = new TColorShape(QStringLiteral("shpSelSA"), 0, tbsShape);
    connect(shpSA, &TColorShape::mouseDown, this, &TLegendPanel::saColorMouseDown);
    connect(shpSelSA, &TColorShape::mouseDown, this, &TLegendPanel::saColorMouseDown);
    tbOpacity = new QSlider(Qt::Horizontal, tbsShape);
    tbOpacity->setObjectName(QStringLiteral("tbOpacity"));
    tbOpacity->setRange(0, 20);
    edtSA_Outer = new QSpinBox(tbsShape);
    edtSA_Outer->setObjectName(QStringLiteral("edtSA_Outer"));
    edtSA_Outer->setRange(1, 100);
    hg->addWidget(caption(tbsShape, QStringLiteral("lblSACap")), 0, 0);
    hg->addWidget(shpSA, 0, 1);
    hg->addWidget(caption(tbsShape, QStringLiteral("lblSelSACap")), 0, 2);
    hg->addWidget(shpSelSA, 0, 3);
    hg->addWidget(caption(tbsShape, QStringLiteral("lblOpacityCap")), 1, 0);
    hg->addWidget(tbOpacity, 1, 1, 1, 3);
    hg->addWidget(caption(tbsShape, QStringLiteral("lblSASizeCap")), 2, 0);
    hg->addWidget(edtSA_Outer, 2, 1, 1, 3);
    for (int i = 0; i < 5; ++i) {
        const QString cls = QString::fromLatin1(kClassName[i]);
        cbxShape[i] = new QComboBox(tbsShape);
        cbxShape[i]->setObjectName(QStringLiteral("cbx") + cls);
        cbxShape[i]->setProperty("tag", i);
        for (int k = 0; k <= 10; ++k)
            cbxShape[i]->addItem(QString());
        edtOuter[i] = new QSpinBox(tbsShape);
        edtOuter[i]->setObjectName(QStringLiteral("edt") + cls + QStringLiteral("_Outer"));
        edtOuter[i]->setProperty("tag", i);
        edtOuter[i]->setRange(1, 50);
        auto *cap = caption(tbsShape, QStringLiteral("lbl") + cls + QStringLiteral("Cap"));
        cap->setText(i == 4 ? QString() : cls);
        hg->addWidget(cap, 3 + i, 0);
        hg->addWidget(cbxShape[i], 3 + i, 1, 1, 2);
        hg->addWidget(edtOuter[i], 3 + i, 3);
        connect(cbxShape[i], &QComboBox::currentIndexChanged, this, [this, i](int) {
            if (!FUpdating)
                emit shapeChanged(i);
        });
        connect(edtOuter[i], &QSpinBox::valueChanged, this, [this, i](int) {
            if (!FUpdating)
                emit sizeChanged(i);
        });
    }
    hg->setRowStretch(8, 1);
    addTab(tbsShape, QString());

    ttChangeSA = new QTimer(this);
    ttChangeSA->setObjectName(QStringLiteral("ttChangeSA"));
    ttChangeSA->setInterval(1000);
    ttChangeSA->setSingleShot(false);
    connect(tbOpacity, &QSlider::valueChanged, this, [this](int) {
        if (!FUpdating)
            emit opacityChanged();
    });
    connect(edtSA_Outer, &QSpinBox::valueChanged, this, [this](int) {
        if (FUpdating)
            return;
        // SASizeChange: every change restarts the one-second timer.
        ttChangeSA->stop();
        ttChangeSA->start();
    });
    connect(ttChangeSA, &QTimer::timeout, this, [this] {
        ttChangeSA->stop();
        emit saSizeTimer();
    });

    // State colours and movements.
    tbsState = new QWidget;
    tbsState->setObjectName(QStringLiteral("tbsState"));
    auto *tg = new QGridLayout(tbsState);
    tg->setContentsMargins(4, 4, 4, 4);
    tg->setVerticalSpacing(2);
    int row = 0;
    for (const TStateShapeDef &d : kStateShapes) {
        auto *shape = new TColorShape(QString::fromLatin1(d.name), d.tag, tbsState);
        StateShapes.insert(d.tag, shape);
        connect(shape, &TColorShape::mouseDown, this, &TLegendPanel::stateColorMouseDown);
        const int col = (row % 2) * 2;
        tg->addWidget(shape, row / 2, col);
        tg->addWidget(caption(tbsState, QString::fromLatin1(d.name) + QStringLiteral("Cap")), row / 2, col + 1);
        ++row;
    }
    const int mvRow = (row + 1) / 2;
    shpGreenMvmt = new TColorShape(QStringLiteral("shpGreenMvmt"), 0, tbsState);
    shpYellowMvmt = new TColorShape(QStringLiteral("shpYellowMvmt"), 0, tbsState);
    shpYellowMvmt->hide();
    connect(shpGreenMvmt, &TColorShape::mouseDown, this, &TLegendPanel::greenMvmtMouseDown);
    tg->addWidget(shpGreenMvmt, mvRow, 0);
    tg->addWidget(caption(tbsState, QStringLiteral("shpGreenMvmtCap")), mvRow, 1);
    chxMvmtLabelDisp = new QCheckBox(tbsState);
    chxMvmtLabelDisp->setObjectName(QStringLiteral("chxMvmtLabelDisp"));
    tg->addWidget(chxMvmtLabelDisp, mvRow, 2, 1, 2);
    connect(chxMvmtLabelDisp, &QCheckBox::clicked, this, [this](bool) { emit mvmtLabelClicked(); });
    tg->setRowStretch(mvRow + 1, 1);
    addTab(tbsState, QString());

    // Detector counters (filled by the detector-count thread).
    tbsTfdt = new QWidget;
    tbsTfdt->setObjectName(QStringLiteral("tbsTfdt"));
    auto *dg = new QGridLayout(tbsTfdt);
    dg->setContentsMargins(4, 4, 4, 4);
    auto counter = [&](const QString &name, int r) {
        auto *l = new QLabel(QStringLiteral("0"), tbsTfdt);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        dg->addWidget(caption(tbsTfdt, name + QStringLiteral("Cap")), r, 0);
        dg->addWidget(l, r, 1);
        return l;
    };
    lblTfdtOperCnt = counter(QStringLiteral("lblTfdtOperCnt"), 0);
    lblTfdtFailCnt = counter(QStringLiteral("lblTfdtFailCnt"), 1);
    lblTfdtUnusedCnt = counter(QStringLiteral("lblTfdtUnusedCnt"), 2);
    dg->setRowStretch(3, 1);
    addTab(tbsTfdt, QString());

    SetLegend(TMapLegend::Defaults());
}

void TLegendPanel::Retranslate()
{
    setTabText(indexOf(tbsStt), Tx(QStringLiteral("tbsStt.Caption")));
    setTabText(indexOf(tbsShape), Tx(QStringLiteral("tbsShape.Caption")));
    setTabText(indexOf(tbsState), Tx(QStringLiteral("tbsState.Caption")));
    setTabText(indexOf(tbsTfdt), Tx(QStringLiteral("tbsTfdt.Caption")));
    for (auto it = FCaptions.cbegin(); it != FCaptions.cend(); ++it) {
        const QString key = it.key().left(it.key().size() - 3) + QStringLiteral(".Label");
        const QString text = Tx(key);
        if (text != key)
            it.value()->setText(text);
    }
    const bool updating = FUpdating;
    FUpdating = true;
    for (QComboBox *c : cbxShape) {
        c->setItemText(0, Tx(QStringLiteral("SHAPE_CIRCLE")));
        for (int k = 1; k <= 10; ++k)
            c->setItemText(k, Tx(QStringLiteral("SHAPE_SIDES")).replace(QStringLiteral("%d"), QString::number(k + 2)));
    }
    FUpdating = updating;
    chxMvmtLabelDisp->setText(Tx(QStringLiteral("chxMvmtLabelDisp.Caption")));
}

TMapLegend TLegendPanel::Legend() const
{
    TMapLegend l = TMapLegend::Defaults();
    l.SAColor = shpSA->Color();
    l.SASelectedColor = shpSelSA->Color();
    l.SAOpacity = tbOpacity->value();
    l.SASize = edtSA_Outer->value();
    for (int i = 0; i < 5; ++i) {
        l.ShapeIndex[i] = qMax(0, cbxShape[i]->currentIndex());
        l.Size[i] = edtOuter[i]->value();
    }
    for (auto it = StateShapes.cbegin(); it != StateShapes.cend(); ++it)
        l.Status.SetByTag(it.key(), it.value()->Color());
    l.GreenMvmt = shpGreenMvmt->Color();
    l.YellowMvmt = shpYellowMvmt->Color();
    l.ShowMvmtNo = chxMvmtLabelDisp->isChecked();
    return l;
}

void TLegendPanel::SetLegend(const TMapLegend &l)
{
    FUpdating = true;
    shpSA->SetColor(l.SAColor);
    shpSelSA->SetColor(l.SASelectedColor);
    tbOpacity->setValue(qBound(0, l.SAOpacity, 20));
    edtSA_Outer->setValue(qBound(1, l.SASize, 100));
    for (int i = 0; i < 5; ++i) {
        cbxShape[i]->setCurrentIndex(qBound(0, l.ShapeIndex[i], 10));
        edtOuter[i]->setValue(qBound(1, l.Size[i], 50));
    }
    for (auto it = StateShapes.cbegin(); it != StateShapes.cend(); ++it)
        it.value()->SetColor(l.Status.ByTag(it.key()));
    shpGreenMvmt->SetColor(l.GreenMvmt);
    shpYellowMvmt->SetColor(l.YellowMvmt);
    chxMvmtLabelDisp->setChecked(l.ShowMvmtNo);
    FUpdating = false;
}

void TLegendPanel::ShowCounters(const TMonitorCounters &c)
{
    for (TCounterLabel *l : std::as_const(FCounters))
        l->setText(QString::number(StatusCounterValue(l->Def(), c)));
}

TCounterLabel *TLegendPanel::Counter(const QString &name) const
{
    for (TCounterLabel *l : FCounters)
        if (l->objectName() == name)
            return l;
    return nullptr;
}

QString TLegendPanel::CounterText(const QString &name) const
{
    const TCounterLabel *l = Counter(name);
    return l ? l->text() : QString();
}
