#include "control/untCURR_EV.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSoundEffect>
#include <QTabWidget>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "control/LiveViewUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "foundation/IniFile.h"

using namespace CurrentEvents;

namespace {
const QString kTable = QStringLiteral("TfrmCURR_EV");

QTableWidget *eventGrid(QWidget *parent, const QString &name)
{
    auto *g = new QTableWidget(0, 6, parent);
    g->setObjectName(name);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setStretchLastSection(true);
    g->setColumnWidth(2, 160);
    g->setColumnWidth(3, 140);
    return g;
}
} // namespace

TfrmCURR_EV::TfrmCURR_EV(QWidget *owner, IMainWindow *main, const QString &iniFile)
    : QWidget(owner), FMain(main), FIniFile(iniFile)
{
    setObjectName(QStringLiteral("frmCURR_EV"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    resize(760, 420);
    FSoundFile = QCoreApplication::applicationDirPath() + QStringLiteral("/res/notify.wav");

    pctrlEvnt = new QTabWidget(this);
    pctrlEvnt->setObjectName(QStringLiteral("pctrlEvnt"));
    gtvTCDV = eventGrid(this, QStringLiteral("gtvTCDV"));
    gtvSA = eventGrid(this, QStringLiteral("gtvSA"));
    pctrlEvnt->addTab(gtvTCDV, QString());
    pctrlEvnt->addTab(gtvSA, QString());

    // Display settings.
    auto *setting = new QWidget(this);
    auto *sl = new QVBoxLayout(setting);
    auto radioGroup = [&](const QString &name, QButtonGroup *&group) {
        auto *box = new QGroupBox(setting);
        box->setObjectName(name);
        auto *bl = new QVBoxLayout(box);
        group = new QButtonGroup(box);
        for (int i = 0; i < 3; ++i) {
            auto *b = new QRadioButton(box);
            b->setObjectName(name + QStringLiteral("Item%1").arg(i));
            group->addButton(b, i);
            bl->addWidget(b);
            FOptionButtons << b;
        }
        sl->addWidget(box);
    };
    radioGroup(QStringLiteral("rgbtnPopupWin"), rgbtnPopupWin);
    radioGroup(QStringLiteral("rgbtnPlaySnd"), rgbtnPlaySnd);
    auto check = [](QWidget *parent, const QString &name) {
        auto *c = new QCheckBox(parent);
        c->setObjectName(name);
        return c;
    };
    chxSAPopupWin = check(setting, QStringLiteral("chxSAPopupWin"));
    chxSAPlaySnd = check(setting, QStringLiteral("chxSAPlaySnd"));
    chxGoLastRow = check(setting, QStringLiteral("chxGoLastRow"));
    sl->addWidget(chxSAPopupWin);
    sl->addWidget(chxSAPlaySnd);
    sl->addWidget(chxGoLastRow);
    sl->addStretch();
    pctrlEvnt->addTab(setting, QString());

    // Selected events.
    auto *selected = new QWidget(this);
    auto *sel = new QVBoxLayout(selected);
    auto *boxes = new QHBoxLayout;
    chxFowerFail = check(selected, QStringLiteral("chxFowerFail"));
    chxConnectionFail = check(selected, QStringLiteral("chxConnectionFail"));
    chxFlashReasion4 = check(selected, QStringLiteral("chxFlashReasion4"));
    chxFlashReasion5 = check(selected, QStringLiteral("chxFlashReasion5"));
    for (QCheckBox *c : {chxFowerFail, chxConnectionFail, chxFlashReasion4, chxFlashReasion5})
        boxes->addWidget(c);
    boxes->addStretch();
    gtvTCDV2 = eventGrid(selected, QStringLiteral("gtvTCDV2"));
    sel->addLayout(boxes);
    sel->addWidget(gtvTCDV2, 1);
    pctrlEvnt->addTab(selected, QString());

    chxAlwayOnTop = check(this, QStringLiteral("chxAlwayOnTop"));
    chxAlwayOnTop->setChecked(true);
    btnClear = new QPushButton(this);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(chxAlwayOnTop);
    bottom->addStretch();
    bottom->addWidget(btnClear);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(pctrlEvnt, 1);
    lay->addLayout(bottom);

    connect(chxAlwayOnTop, &QCheckBox::toggled, this, [this](bool on) {
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        if (shown)
            show();
    });
    connect(btnClear, &QPushButton::clicked, this, &TfrmCURR_EV::btnClearClick);
    connect(pctrlEvnt, &QTabWidget::currentChanged, this, [this] { UpdateClearButton(); });
    connect(gtvSA, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const int n = row < FLists[pgSA].Count() ? FLists[pgSA].At(row).Number : 0;
        if (n == 0)
            return;
        emit RequestSelectSA(n);
        if (FMain)
            FMain->LocateSA(n);
    });
    for (int page : {int(pgTCDV), int(pgSelected)}) {
        connect(Grid(page), &QTableWidget::cellDoubleClicked, this, [this, page](int row, int) {
            const int n = row < FLists[page].Count() ? FLists[page].At(row).Number : 0;
            LiveView::PanToLc(n, [this](int lc) { emit RequestPanToTCDV(lc); }, FMain);
        });
    }

    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    FLang->Retranslate();
    pctrlEvnt->setCurrentIndex(0);
    ReadSettings();
    UpdateClearButton();
}

TfrmCURR_EV::~TfrmCURR_EV() { WriteSettings(); }

void TfrmCURR_EV::Retranslate()
{
    for (int i = 0; i < 4; ++i)
        pctrlEvnt->setTabText(i, FLang->Text(QStringLiteral("pctrlEvntPage%1.Caption").arg(i)));
    const QStringList lc = {FLang->Text(QStringLiteral("colTime")), FLang->Text(QStringLiteral("colLC")),
                            FLang->Text(QStringLiteral("colLcName")), FLang->Text(QStringLiteral("colEvent")),
                            FLang->Text(QStringLiteral("colCurrent")), FLang->Text(QStringLiteral("colPrevious"))};
    QStringList sa = lc;
    sa[1] = FLang->Text(QStringLiteral("colSA"));
    sa[2] = FLang->Text(QStringLiteral("colSaName"));
    gtvTCDV->setHorizontalHeaderLabels(lc);
    gtvTCDV2->setHorizontalHeaderLabels(lc);
    gtvSA->setHorizontalHeaderLabels(sa);
    for (QWidget *w : FOptionButtons)
        static_cast<QRadioButton *>(w)->setText(FLang->Text(w->objectName() + QStringLiteral(".Caption")));
    FLang->TranslateComponents();
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

TEventSettings TfrmCURR_EV::Settings() const
{
    TEventSettings s;
    s.PowerFail = chxFowerFail->isChecked();
    s.ConnectionFail = chxConnectionFail->isChecked();
    s.Conflict = chxFlashReasion4->isChecked();
    s.DbError = chxFlashReasion5->isChecked();
    s.PopupOption = rgbtnPopupWin->checkedId();
    s.SoundOption = rgbtnPlaySnd->checkedId();
    s.SaPopupWin = chxSAPopupWin->isChecked();
    s.SaPlaySound = chxSAPlaySnd->isChecked();
    s.LastEventView = chxGoLastRow->isChecked();
    return s;
}

void TfrmCURR_EV::SetSettings(const TEventSettings &s)
{
    chxFowerFail->setChecked(s.PowerFail);
    chxConnectionFail->setChecked(s.ConnectionFail);
    chxFlashReasion4->setChecked(s.Conflict);
    chxFlashReasion5->setChecked(s.DbError);
    if (QAbstractButton *b = rgbtnPopupWin->button(s.PopupOption))
        b->setChecked(true);
    if (QAbstractButton *b = rgbtnPlaySnd->button(s.SoundOption))
        b->setChecked(true);
    chxSAPopupWin->setChecked(s.SaPopupWin);
    chxSAPlaySnd->setChecked(s.SaPlaySound);
    chxGoLastRow->setChecked(s.LastEventView);
}

void TfrmCURR_EV::ReadSettings()
{
    const QString file = !FIniFile.isEmpty() ? FIniFile : DM ? DM->IniFileName() : QString();
    TEventSettings s;
    if (!file.isEmpty())
        s.Read(TIniFile(file));
    SetSettings(s);
}

void TfrmCURR_EV::WriteSettings()
{
    const QString file = !FIniFile.isEmpty() ? FIniFile : DM ? DM->IniFileName() : QString();
    if (file.isEmpty())
        return;
    TIniFile ini(file);
    Settings().Write(ini);
}

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

void TfrmCURR_EV::SetContext(const QMap<int, QString> &saNames, const QList<int> &saOutlined,
                             const QList<int> &lcList)
{
    FOwnContext = true;
    FSaNames = saNames;
    FSaOutlined = saOutlined;
    FLcList = lcList;
}

void TfrmCURR_EV::RefreshFromImage(const TMonitorRefresh &r)
{
    if (!r.Image)
        return;
    UpdateEvnts(*r.Image, r.LcInfoSet, r.PacketDateTime);
}

void TfrmCURR_EV::UpdateEvnts(const TST_VESK_STATE &image, const TLC_INFO_SET *set, const QDateTime &packetTime)
{
    if (!FOwnContext && FMain) {
        FSaNames = FMain->SaNameList();
        FSaOutlined = FMain->SaOutlineList();
        FLcList = FMain->LcMarkerList();
    }
    TCompareContext c;
    c.Set = set;
    c.SaNames = &FSaNames;
    c.SaOutlined = FSaOutlined;
    c.LcList = FLcList;
    c.Time = packetTime;
    const QList<TEventRow> rows = FTracker.Update(image, c, Settings());
    if (rows.isEmpty())
        return;
    for (const TEventRow &r : rows) {
        if (r.Page == pgSA)
            AddSaEvent(r);
        else
            AddLcEvent(r, set);
    }
}

void TfrmCURR_EV::InsertRow(QTableWidget *grid, TEventList &list, const TEventRow &row, bool coloured)
{
    grid->setUpdatesEnabled(false);
    if (list.Count() > TEventList::kLimit)
        grid->removeRow(TEventList::kLimit);
    list.Insert(row);
    grid->insertRow(0);
    const QStringList texts = {row.TimeText(), QString::number(row.Number), row.Name,
                               row.Event,      row.Current,                 row.Previous};
    const QColor colour = coloured ? RowColour(row) : QColor();
    for (int c = 0; c < texts.size(); ++c) {
        auto *item = new QTableWidgetItem(texts.at(c));
        if (colour.isValid())
            item->setBackground(colour);
        grid->setItem(0, c, item);
    }
    grid->setUpdatesEnabled(true);
}

void TfrmCURR_EV::MoveFocus(QTableWidget *grid)
{
    if (chxGoLastRow->isChecked()) {
        grid->setCurrentCell(0, grid->currentColumn() < 0 ? 0 : grid->currentColumn());
        return;
    }
    // The focus stays on the event it was on, which moved one row down.
    const int cur = grid->currentRow();
    if (cur >= 0 && cur + 1 < grid->rowCount())
        grid->setCurrentCell(cur + 1, qMax(0, grid->currentColumn()));
}

void TfrmCURR_EV::Apply(const TEventEffect &e)
{
    if (e.Show && isHidden())
        show();
    if (e.Page >= 0)
        pctrlEvnt->setCurrentIndex(e.Page);
    if (e.Sound)
        PlayEventSound();
}

void TfrmCURR_EV::AddSaEvent(const TEventRow &row)
{
    InsertRow(gtvSA, FLists[pgSA], row, false);
    Apply(SaEventEffect(Settings(), isHidden()));
    MoveFocus(gtvSA);
    UpdateClearButton();
}

void TfrmCURR_EV::AddLcEvent(const TEventRow &row, const TLC_INFO_SET *set)
{
    if (!set || !set->GetLcInfo(row.Number))
        return;
    InsertRow(gtvTCDV, FLists[pgTCDV], row, true);
    if (row.Selected)
        InsertRow(gtvTCDV2, FLists[pgSelected], row, true);
    Apply(LcEventEffect(Settings(), row.Selected, isHidden()));
    MoveFocus(gtvTCDV);
    if (row.Selected)
        MoveFocus(gtvTCDV2);
    UpdateClearButton();
}

bool TfrmCURR_EV::PlayEventSound()
{
    // A missing file plays nothing; the events go on.
    if (!QFileInfo::exists(FSoundFile))
        return false;
    if (!FSound)
        FSound = new QSoundEffect(this);
    const QUrl url = QUrl::fromLocalFile(FSoundFile);
    if (FSound->source() != url)
        FSound->setSource(url);
    FSound->play();
    ++FSoundsStarted;
    return true;
}

void TfrmCURR_EV::btnClearClick()
{
    const int page = pctrlEvnt->currentIndex();
    if (page == pgSetting)
        return;
    Grid(page)->setRowCount(0);
    FLists[page].Clear();
    UpdateClearButton();
}

void TfrmCURR_EV::UpdateClearButton()
{
    const int page = pctrlEvnt->currentIndex();
    btnClear->setVisible(page != pgSetting);
    btnClear->setEnabled(page != pgSetting && Grid(page) && Grid(page)->rowCount() > 0);
}

const TEventList &TfrmCURR_EV::List(int page) const { return FLists[qBound(0, page, 3)]; }

QTableWidget *TfrmCURR_EV::Grid(int page) const
{
    switch (page) {
    case pgTCDV:
        return gtvTCDV;
    case pgSA:
        return gtvSA;
    case pgSelected:
        return gtvTCDV2;
    default:
        return nullptr;
    }
}
