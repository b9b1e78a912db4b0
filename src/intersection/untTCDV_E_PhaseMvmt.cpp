#include "intersection/untTCDV_E_PhaseMvmt.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/InAppMessage.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/PhaseImageList.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "foundation/JsEscape.h"

namespace {

const QString kTable = QStringLiteral("TfrmTCDV_E_PhaseMvmt");

TMvmtEditorHost &HostRef()
{
    static TMvmtEditorHost host;
    return host;
}

} // namespace

void SetMvmtEditorHost(const TMvmtEditorHost &host)
{
    HostRef() = host;
}

const TMvmtEditorHost &MvmtEditorHost()
{
    return HostRef();
}

TfrmTCDV_E_PhaseMvmt::TfrmTCDV_E_PhaseMvmt(QWidget *owner, const PSTT_LC_INFO &liveRecord)
    : QWidget(owner), FLC_INFO(liveRecord)
{
    setObjectName(QStringLiteral("frmTCDV_E_PhaseMvmt"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    if (owner)
        setWindowFlag(Qt::Window, true);
    FIniFile = DM ? DM->IniFileName() : QString();
    if (FLC_INFO)
        SetTCDV_ID(FLC_INFO->tcdv_id);
    BuildUi();
    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    FLang->Retranslate();
    ApplyAdminMode();
    FLCType = FTCDV_ID > 0 ? GetLcTypeEx(FTCDV_ID) : lct2004;
    FillPlanClasses();
    // The arrow page.
    if (MvmtEditorHost().MakePage)
        FPage = MvmtEditorHost().MakePage(this, pnlMapView);
    if (FPage)
        FPage->SetMapViewInit([this] { InitMapView(); });
}

TfrmTCDV_E_PhaseMvmt::~TfrmTCDV_E_PhaseMvmt() = default;

void TfrmTCDV_E_PhaseMvmt::BuildUi()
{
    resize(1100, 760);
    auto *root = new QHBoxLayout(this);
    auto *side = new QVBoxLayout;
    root->addLayout(side, 0);

    lblTCDV_ID = new QLabel(this);
    lblTCDV_ID->setObjectName(QStringLiteral("lblTCDV_ID"));
    side->addWidget(lblTCDV_ID);

    pgcMain = new QTabWidget(this);
    pgcMain->setObjectName(QStringLiteral("pgcMain"));
    auto *tab = new QWidget(pgcMain);
    auto *tabLay = new QVBoxLayout(tab);
    cbxGennType = new QComboBox(tab);
    cbxGennType->setObjectName(QStringLiteral("cbxGennType"));
    tabLay->addWidget(cbxGennType);
    gtvPhase = new QTableWidget(0, 3, tab);
    gtvPhase->setObjectName(QStringLiteral("gtvPhase"));
    gtvPhase->setSelectionBehavior(QAbstractItemView::SelectRows);
    gtvPhase->setSelectionMode(QAbstractItemView::SingleSelection);
    gtvPhase->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gtvPhase->verticalHeader()->hide();
    tabLay->addWidget(gtvPhase, 1);

    auto *buttons = new QGridLayout;
    for (int phase = 1; phase <= MVMT_PHASES; ++phase)
        for (int ring = 1; ring <= MVMT_RINGS; ++ring) {
            auto *b = new QToolButton(tab);
            b->setObjectName(QStringLiteral("btnPhase%1%2").arg(phase).arg(ring));
            b->setCheckable(true);
            b->setAutoExclusive(false);
            b->setProperty("Tag", phase * 10 + ring);
            connect(b, &QToolButton::clicked, this, [this, phase, ring] { PhaseClick(phase * 10 + ring); });
            auto *l = new QLabel(tab);
            l->setObjectName(QStringLiteral("lblPhase%1%2").arg(phase).arg(ring));
            l->setAlignment(Qt::AlignCenter);
            buttons->addWidget(b, (ring - 1) * 2, phase - 1);
            buttons->addWidget(l, (ring - 1) * 2 + 1, phase - 1);
            FBtnGroup << b;
            FLblGroup << l;
        }
    tabLay->addLayout(buttons);
    pgcMain->addTab(tab, QString());
    side->addWidget(pgcMain, 1);

    pnlDisplay = new QWidget(this);
    pnlDisplay->setObjectName(QStringLiteral("pnlDisplay"));
    auto *disp = new QGridLayout(pnlDisplay);
    lblMovement = new QLabel(pnlDisplay);
    lblMovement->setObjectName(QStringLiteral("lblMovement"));
    lblSelMovement = new QLabel(pnlDisplay);
    lblSelMovement->setObjectName(QStringLiteral("lblSelMovement"));
    for (QLabel *l : {lblMovement, lblSelMovement}) {
        l->setAutoFillBackground(true);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    disp->addWidget(lblMovement, 0, 0);
    disp->addWidget(lblSelMovement, 0, 1);
    auto box = [this](const char *name, int lo, int hi) {
        auto *s = new QSpinBox(pnlDisplay);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(lo, hi);
        return s;
    };
    edtMvmtLength = box("edtMvmtLength", 0, 200);
    edtMvmtSize = box("edtMvmtSize", 0, 100);
    edtOffsetXSize = box("edtOffsetXSize", -50, 50);
    edtOffsetYSize = box("edtOffsetYSize", -50, 50);
    edtOffsetLSize = box("edtOffsetLSize", -50, 50);
    edtResetAngle = box("edtResetAngle", -360, 360);
    int row = 1;
    for (QSpinBox *s : {edtMvmtLength, edtMvmtSize, edtOffsetXSize, edtOffsetYSize, edtOffsetLSize, edtResetAngle}) {
        auto *l = new QLabel(pnlDisplay);
        l->setObjectName(QStringLiteral("lbl") + s->objectName().mid(3));
        l->setBuddy(s);
        disp->addWidget(l, row, 0);
        disp->addWidget(s, row, 1);
        ++row;
    }
    side->addWidget(pnlDisplay);

    auto *btns = new QHBoxLayout;
    btnSearch = new QPushButton(this);
    btnSearch->setObjectName(QStringLiteral("btnSearch"));
    btnInit = new QPushButton(this);
    btnInit->setObjectName(QStringLiteral("btnInit"));
    btnSave = new QPushButton(this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btns->addWidget(btnSearch);
    btns->addWidget(btnInit);
    btns->addWidget(btnSave);
    side->addLayout(btns);
    lblHint = new QLabel(this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);
    side->addWidget(lblHint);

    auto *right = new QVBoxLayout;
    root->addLayout(right, 1);
    auto *tools = new QHBoxLayout;
    auto tool = [this, tools](const char *btnName, const char *actName, QAction **act, QToolButton **btn) {
        *act = new QAction(this);
        (*act)->setObjectName(QString::fromLatin1(actName));
        addAction(*act);
        *btn = new QToolButton(this);
        (*btn)->setObjectName(QString::fromLatin1(btnName));
        (*btn)->setDefaultAction(*act);
        tools->addWidget(*btn);
    };
    tool("btnDefault", "actDefault", &actDefault, &btnDefault);
    tool("btnMove", "actMove", &actMove, &btnMove);
    tool("btnHeadRotation", "actHeadRotation", &actHeadRotation, &btnHeadRotation);
    tool("btnMiddleRotation", "actMiddleRotation", &actMiddleRotation, &btnMiddleRotation);
    tools->addStretch(1);
    tool("btnShowDevTool", "actShowDevTool", &actShowDevTool, &btnShowDevTool);
    tool("btnWebViewRefresh", "actWebViewRefresh", &actWebViewRefresh, &btnWebViewRefresh);
    for (QAction *a : {actDefault, actMove, actHeadRotation, actMiddleRotation})
        a->setCheckable(true);
    auto *modes = new QActionGroup(this);
    for (QAction *a : {actDefault, actMove, actHeadRotation, actMiddleRotation})
        modes->addAction(a);
    actShowDevTool->setShortcut(QKeySequence(Qt::Key_F12));
    actWebViewRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    actClose = new QAction(this);
    actClose->setObjectName(QStringLiteral("actClose"));
    addAction(actClose);
    right->addLayout(tools);
    pnlMapView = new QWidget(this);
    pnlMapView->setObjectName(QStringLiteral("pnlMapView"));
    pnlMapView->setLayout(new QVBoxLayout);
    pnlMapView->layout()->setContentsMargins(0, 0, 0, 0);
    right->addWidget(pnlMapView, 1);

    connect(actDefault, &QAction::triggered, this, [this] { ToolMode(QStringLiteral("DEFAULT")); });
    connect(actMove, &QAction::triggered, this, [this] { ToolMode(QStringLiteral("MOVE")); });
    connect(actHeadRotation, &QAction::triggered, this, [this] { ToolMode(QStringLiteral("HEAD_ROTATION")); });
    connect(actMiddleRotation, &QAction::triggered, this, [this] { ToolMode(QStringLiteral("MIDDLE_ROTATION")); });
    connect(actShowDevTool, &QAction::triggered, this, [this] {
        if (FPage)
            FPage->ShowDevTools();
    });
    connect(actWebViewRefresh, &QAction::triggered, this, [this] {
        FLoadEnd[0] = FLoadEnd[1] = false;
        if (FPage && DM)
            FPage->Load(DM->G_EDITOR_URL);
    });
    connect(actClose, &QAction::triggered, this, &QWidget::close);
    connect(btnSearch, &QPushButton::clicked, this, &TfrmTCDV_E_PhaseMvmt::btnSearchClick);
    connect(btnInit, &QPushButton::clicked, this, &TfrmTCDV_E_PhaseMvmt::btnInitClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmTCDV_E_PhaseMvmt::btnSaveClick);
    connect(cbxGennType, QOverload<int>::of(&QComboBox::activated), this, [this] {
        btnSearchClick();
        LoadPhaseList();
    });
    connect(gtvPhase, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (!FFilling)
            PhaseRowChosen(row);
    });
    for (QSpinBox *s : {edtMvmtLength, edtMvmtSize, edtOffsetXSize, edtOffsetYSize, edtOffsetLSize, edtResetAngle})
        connect(s, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] { NumberBoxChanged(); });
}

void TfrmTCDV_E_PhaseMvmt::Retranslate()
{
    const auto Tr = [](const QString &key) { return siText(kTable, key); };
    setWindowTitle(windowTitle().isEmpty() ? Tr(QStringLiteral("Caption")) : windowTitle());
    pgcMain->setTabText(0, Tr(QStringLiteral("tsSelect")));
    gtvPhase->setHorizontalHeaderLabels({Tr(QStringLiteral("colPhase")), Tr(QStringLiteral("colRing")),
                                         Tr(QStringLiteral("colMvmtNo"))});
    btnSearch->setText(Tr(QStringLiteral("btnSearch")));
    btnInit->setText(Tr(QStringLiteral("btnInit")));
    btnSave->setText(Tr(QStringLiteral("btnSave")));
    lblMovement->setText(Tr(QStringLiteral("lblMovement")));
    lblSelMovement->setText(Tr(QStringLiteral("lblSelMovement")));
    lblMovement->setToolTip(Tr(QStringLiteral("strColorHint")));
    lblSelMovement->setToolTip(Tr(QStringLiteral("strColorHint")));
    lblHint->setText(Tr(QStringLiteral("strNoPointHint")));
    actDefault->setText(Tr(QStringLiteral("actDefault")));
    actMove->setText(Tr(QStringLiteral("actMove")));
    actHeadRotation->setText(Tr(QStringLiteral("actHeadRotation")));
    actMiddleRotation->setText(Tr(QStringLiteral("actMiddleRotation")));
    for (QAction *a : {actDefault, actMove, actHeadRotation, actMiddleRotation})
        a->setToolTip(a->text());
    actShowDevTool->setText(Tr(QStringLiteral("actShowDevTool")));
    actWebViewRefresh->setText(Tr(QStringLiteral("actWebViewRefresh")));
    actClose->setText(Tr(QStringLiteral("actClose")));
    for (QSpinBox *s : {edtMvmtLength, edtMvmtSize, edtOffsetXSize, edtOffsetYSize, edtOffsetLSize, edtResetAngle})
        if (auto *l = findChild<QLabel *>(QStringLiteral("lbl") + s->objectName().mid(3)))
            l->setText(Tr(l->objectName()));
    if (cbxGennType->count() > 0) {
        const int index = cbxGennType->currentIndex();
        FillPlanClasses();
        cbxGennType->setCurrentIndex(index);
    }
}

void TfrmTCDV_E_PhaseMvmt::ApplyAdminMode()
{
    const bool admin = DM && DM->G_ADMIN_MODE;
    pnlDisplay->setFixedHeight(admin ? 176 : 104);
    for (QSpinBox *s : {edtMvmtLength, edtMvmtSize, edtOffsetXSize, edtOffsetYSize, edtOffsetLSize}) {
        s->setVisible(admin);
        s->setFocusPolicy(admin ? Qt::StrongFocus : Qt::NoFocus);
        if (auto *l = findChild<QLabel *>(QStringLiteral("lbl") + s->objectName().mid(3)))
            l->setVisible(admin);
    }
    btnShowDevTool->setVisible(admin);
    btnWebViewRefresh->setVisible(admin);
    actShowDevTool->setEnabled(admin);
    actWebViewRefresh->setEnabled(admin);
}

void TfrmTCDV_E_PhaseMvmt::FillPlanClasses()
{
    const QSignalBlocker block(cbxGennType);
    cbxGennType->clear();
    cbxGennType->addItems(PhaseMvmt::PlanClassTexts(FLCType));
    cbxGennType->setCurrentIndex(0);
}

void TfrmTCDV_E_PhaseMvmt::SetTCDV_ID(int lcNo)
{
    FTCDV_ID = lcNo;
    FVirtualTCDV_ID = 0;
    if (!DM)
        return;
    QSqlQuery q(DM->Con());
    q.prepare(QStringLiteral(" SELECT MAIN_LCNO FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO "));
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (q.exec() && q.next())
        FVirtualTCDV_ID = q.value(0).toInt();
    // An opener naming another intersection than the live record: its own plan classes.
    if (cbxGennType) {
        const TLcTypeEx type = lcNo > 0 ? GetLcTypeEx(lcNo) : lct2004;
        if (type != FLCType) {
            FLCType = type;
            FillPlanClasses();
        }
    }
}

int TfrmTCDV_E_PhaseMvmt::PlanClass() const
{
    return cbxGennType->currentIndex() + 1;
}

void TfrmTCDV_E_PhaseMvmt::SetPlanClass(int planClass)
{
    if (planClass >= 1 && planClass <= cbxGennType->count())
        cbxGennType->setCurrentIndex(planClass - 1);
}

QToolButton *TfrmTCDV_E_PhaseMvmt::PhaseButton(int phase, int ring) const
{
    return FBtnGroup.value((phase - 1) * 2 + ring - 1);
}

QLabel *TfrmTCDV_E_PhaseMvmt::PhaseLabel(int phase, int ring) const
{
    return FLblGroup.value((phase - 1) * 2 + ring - 1);
}

void TfrmTCDV_E_PhaseMvmt::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    pgcMain->setCurrentIndex(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ReadWindowSettings();
    if (FTCDV_ID > 0) {
        lblTCDV_ID->setText(QStringLiteral(" %1 (#%2)").arg(GetLcName(FTCDV_ID)).arg(FTCDV_ID));
        LoadPhaseList();
    }
    if (FPage && DM)
        FPage->Load(DM->G_EDITOR_URL);
    QApplication::restoreOverrideCursor();
}

void TfrmTCDV_E_PhaseMvmt::closeEvent(QCloseEvent *event)
{
    if (FPage && FPage->IsLoading()) {
        event->ignore();
        return;
    }
    FLC_INFO.reset();
    if (FShown)
        WriteWindowSettings();
    QWidget::closeEvent(event);
}

void TfrmTCDV_E_PhaseMvmt::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control)
        FCtrlKeyDown = true;
    QWidget::keyPressEvent(event);
}

void TfrmTCDV_E_PhaseMvmt::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control)
        FCtrlKeyDown = false;
    QWidget::keyReleaseEvent(event);
}

bool TfrmTCDV_E_PhaseMvmt::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && (watched == lblMovement || watched == lblSelMovement)) {
        MovementColorClick(static_cast<QLabel *>(watched));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmTCDV_E_PhaseMvmt::ReadWindowSettings()
{
    if (!FIniFile.isEmpty())
        FSettings.Read(FIniFile);
    FFilling = true;
    edtMvmtLength->setValue(FSettings.MoveLength);
    edtMvmtSize->setValue(FSettings.MoveSize);
    edtOffsetXSize->setValue(FSettings.XOffsetSize);
    edtOffsetYSize->setValue(FSettings.YOffsetSize);
    edtOffsetLSize->setValue(FSettings.LOffsetSize);
    FFilling = false;
    ShowColours();
}

void TfrmTCDV_E_PhaseMvmt::SettingsFromBoxes()
{
    FSettings.MoveLength = edtMvmtLength->value();
    FSettings.MoveSize = edtMvmtSize->value();
    FSettings.XOffsetSize = edtOffsetXSize->value();
    FSettings.YOffsetSize = edtOffsetYSize->value();
    FSettings.LOffsetSize = edtOffsetLSize->value();
}

void TfrmTCDV_E_PhaseMvmt::WriteWindowSettings()
{
    SettingsFromBoxes();
    if (!FIniFile.isEmpty())
        FSettings.Write(FIniFile);
}

void TfrmTCDV_E_PhaseMvmt::ShowColours()
{
    auto paint = [](QLabel *l, int back, int fore) {
        QPalette p = l->palette();
        p.setColor(QPalette::Window, TColorToQColor(quint32(back)));
        p.setColor(QPalette::WindowText, TColorToQColor(quint32(fore)));
        l->setPalette(p);
    };
    paint(lblMovement, FSettings.MoveColor, FSettings.MoveFontColor);
    paint(lblSelMovement, FSettings.SelMoveColor, FSettings.SelMoveFontColor);
}

void TfrmTCDV_E_PhaseMvmt::MovementColorClick(QLabel *label)
{
    const bool sel = label == lblSelMovement;
    int color = sel ? FSettings.SelMoveColor : FSettings.MoveColor;
    bool ok = false;
    if (MvmtEditorHost().ChooseColor) {
        ok = MvmtEditorHost().ChooseColor(this, &color);
    } else {
        const QColor c = QColorDialog::getColor(TColorToQColor(quint32(color)), this);
        ok = c.isValid();
        color = int(QColorToTColor(c));
    }
    if (!ok)
        return;
    const bool text = FCtrlKeyDown || (QApplication::keyboardModifiers() & Qt::ControlModifier);
    if (sel)
        (text ? FSettings.SelMoveFontColor : FSettings.SelMoveColor) = color;
    else
        (text ? FSettings.MoveFontColor : FSettings.MoveColor) = color;
    ShowColours();
    btnSearchClick();
}

void TfrmTCDV_E_PhaseMvmt::LoadPhaseList()
{
    FFilling = true;
    gtvPhase->setRowCount(0);
    if (DM) {
        QSqlQuery q(DM->Con());
        q.prepare(QStringLiteral(
            " SELECT INT_LCNO, INT_PHASENO, CASE INT_RING WHEN 1 THEN 'A' WHEN 2 THEN 'B' ELSE CAST(INT_RING AS "
            "CHAR) END AS INT_RING, INT_RING AS INT_RING_NO, INT_FLOWNUMBER FROM SCS_M_INTPHASE "
            " WHERE INT_LCNO = :INT_LCNO AND INT_PLANCLSS = :INT_PLANCLSS "
            " ORDER BY INT_PHASENO, INT_RING, INT_FLOWNUMBER "));
        q.bindValue(QStringLiteral(":INT_LCNO"), FTCDV_ID);
        q.bindValue(QStringLiteral(":INT_PLANCLSS"), PlanClass());
        if (q.exec()) {
            while (q.next()) {
                const int row = gtvPhase->rowCount();
                gtvPhase->insertRow(row);
                auto *phase = new QTableWidgetItem(q.value(1).toString());
                phase->setData(Qt::UserRole, q.value(3).toInt());
                gtvPhase->setItem(row, 0, phase);
                gtvPhase->setItem(row, 1, new QTableWidgetItem(q.value(2).toString()));
                gtvPhase->setItem(row, 2, new QTableWidgetItem(q.value(4).toString()));
            }
        }
    }
    FFilling = false;
    if (gtvPhase->rowCount() > 0) {
        gtvPhase->setCurrentCell(0, 0);
        PhaseRowChosen(0);
    }
}

bool TfrmTCDV_E_PhaseMvmt::LoadMovements()
{
    if (!DM)
        return false;
    return PhaseMvmt::LoadMovements(DM->Con(), FTCDV_ID, &FMovements);
}

void TfrmTCDV_E_PhaseMvmt::Run(const QString &script)
{
    if (FPage)
        FPage->ExecuteJavaScript(script);
}

void TfrmTCDV_E_PhaseMvmt::HidePhaseButtons()
{
    for (int i = 0; i < FBtnGroup.size(); ++i) {
        FBtnGroup[i]->hide();
        FBtnGroup[i]->setIcon(QIcon());
        FBtnGroup[i]->setText(QString());
        FBtnGroup[i]->setChecked(false);
        FLblGroup[i]->hide();
        FLblGroup[i]->clear();
    }
}

void TfrmTCDV_E_PhaseMvmt::ShowPhaseButtons(int planClass)
{
    HidePhaseButtons();
    if (planClass < 1 || planClass > MVMT_PLAN_CLASSES)
        return;
    for (int phase = 1; phase <= MVMT_PHASES; ++phase)
        for (int ring = 1; ring <= MVMT_RINGS; ++ring) {
            const int m = FMovements[planClass - 1][phase - 1][ring - 1].mvmt_no;
            if (m < 1)
                continue;
            QToolButton *b = PhaseButton(phase, ring);
            // The picture of the movement from the phase picture list.
            const int picture = PhaseButtonPicture(m);
            b->setProperty("Picture", picture);
            b->setIcon(imgPhase().Icon(picture));
            b->setIconSize(imgPhase().Size());
            b->setText(QString::number(m));
            PhaseLabel(phase, ring)->setText(QString::number(m));
            b->show();
            PhaseLabel(phase, ring)->show();
        }
    if (FPhaseNo >= 1 && FPhaseNo <= MVMT_PHASES && FRingNo >= 1 && FRingNo <= MVMT_RINGS)
        PhaseButton(FPhaseNo, FRingNo)->setChecked(true);
}

void TfrmTCDV_E_PhaseMvmt::SelectCurrentRow(int planClass)
{
    const int row = gtvPhase->currentRow();
    if (row < 0 || !gtvPhase->item(row, 0))
        return;
    const int phase = gtvPhase->item(row, 0)->text().toInt();
    const int ring = gtvPhase->item(row, 0)->data(Qt::UserRole).toInt();
    Run(PhaseMvmt::SelectScript(PhaseMvmt::ArrowName(planClass, phase, ring), FSettings.SelMoveColor));
}

void TfrmTCDV_E_PhaseMvmt::btnSearchClick()
{
    if (!FPage || !FPage->IsPageReady())
        return;
    const int c = PlanClass();
    SettingsFromBoxes();
    LoadMovements();
    const PhaseMvmt::TArrowScripts s = PhaseMvmt::StoredArrowScripts(FMovements, c, FLat, FLng, FSettings);
    if (s.MissingHead) {
        btnInitClick();
        return;
    }
    FMvmtList = s.Names;
    for (const QString &script : s.Scripts)
        Run(script);
    ShowPhaseButtons(c);
    SelectCurrentRow(c);
    Run(QStringLiteral(" $(\"#ovik-textbox\").css(\"display\",\"none\");"));
}

void TfrmTCDV_E_PhaseMvmt::btnInitClick()
{
    if (!FPage || !FPage->IsPageReady())
        return;
    const int c = PlanClass();
    SettingsFromBoxes();
    LoadMovements();
    const PhaseMvmt::TArrowScripts s =
        PhaseMvmt::DefaultArrowScripts(FMovements, c, FLat, FLng, FSettings, edtResetAngle->value());
    FMvmtList = s.Names;
    for (const QString &script : s.Scripts)
        Run(script);
    ShowPhaseButtons(c);
    SelectCurrentRow(c);
    Run(s.MissingHead ? QStringLiteral(" $(\"#ovik-textbox\").css(\"display\",\"block\");")
                      : QStringLiteral(" $(\"#ovik-textbox\").css(\"display\",\"none\");"));
}

void TfrmTCDV_E_PhaseMvmt::NumberBoxChanged()
{
    if (!FFilling)
        btnInitClick();
}

void TfrmTCDV_E_PhaseMvmt::ToolMode(const QString &mode)
{
    if (FPage && FPage->IsPageReady())
        Run(QStringLiteral(" changeMode(%1);").arg(JsStr(mode)));
}

void TfrmTCDV_E_PhaseMvmt::PhaseRowChosen(int row)
{
    if (row < 0 || !gtvPhase->item(row, 0) || !gtvPhase->item(row, 1))
        return;
    const QString phaseText = gtvPhase->item(row, 0)->text().trimmed();
    const QString ringText = gtvPhase->item(row, 1)->text().trimmed();
    if (phaseText.isEmpty() || ringText.isEmpty())
        return;
    const int ring = ringText == QLatin1String("A") ? 1 : 2;
    const int phase = phaseText.toInt();
    if (phase < 1 || phase > MVMT_PHASES)
        return;
    FPhaseNo = phase;
    FRingNo = ring;
    for (QToolButton *b : FBtnGroup)
        b->setChecked(false);
    PhaseButton(phase, ring)->setChecked(true);
    if (!FPage || !FPage->IsPageReady())
        return;
    for (const QString &name : FMvmtList)
        Run(QStringLiteral("%1.setStyle({color: %2});").arg(name, JsStr(PhaseMvmt::ColorText(FSettings.MoveColor))));
    Run(PhaseMvmt::SelectScript(PhaseMvmt::ArrowName(PlanClass(), phase, ring), FSettings.SelMoveColor));
}

void TfrmTCDV_E_PhaseMvmt::PhaseClick(int tag)
{
    const int phase = tag / 10, ring = tag % 10;
    const QString ringText = ring == 1 ? QStringLiteral("A") : QStringLiteral("B");
    for (int row = 0; row < gtvPhase->rowCount(); ++row) {
        if (gtvPhase->item(row, 0)->text().toInt() == phase && gtvPhase->item(row, 1)->text() == ringText) {
            FFilling = true;
            gtvPhase->setCurrentCell(row, 0);
            FFilling = false;
            PhaseRowChosen(row);
            return;
        }
    }
}

void TfrmTCDV_E_PhaseMvmt::btnSaveClick()
{
    if (!FPage || !FPage->IsPageReady() || !DM)
        return;
    FSaver = std::make_unique<PhaseMvmt::TMvmtSaver>(DM->Con(), FTCDV_ID);
    FSaver->Begin();
    for (const QString &script : PhaseMvmt::SaveScripts(FMvmtList))
        Run(script);
    RaiseInAppMessage(&TInAppMessage::REFRESH_TCDV_TOD);
}

void TfrmTCDV_E_PhaseMvmt::ConsoleMessage(const QString &message)
{
    if (!DM)
        return;
    if (!FSaver) {
        // Messages of a save started in the page itself (no save button pressed).
        FSaver = std::make_unique<PhaseMvmt::TMvmtSaver>(DM->Con(), FTCDV_ID);
        FSaver->Begin();
    }
    if (FSaver->Handle(message) != PhaseMvmt::TMvmtSaver::Done)
        return;
    const bool ok = FSaver->Ok();
    const QString error = FSaver->Error();
    FSaver.reset();
    if (!ok) {
        ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveFailMsg), KIT_T(T_SaveFailCaption), error, mkError);
        return;
    }
    ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveSuccessMsg), KIT_T(T_SaveSuccessCaption), QString(), mkInformation);
    LoadMovements();
    if (FLC_INFO)
        PhaseMvmt::CopyToLive(FMovements, FLC_INFO.get());
    RaiseInAppMessage(&TInAppMessage::REFRESH_MVMT_TCDV_M);
    btnSearchClick();
}

void TfrmTCDV_E_PhaseMvmt::InitMapView()
{
    if (!FPage || !FPage->BrowserExists())
        return;
    if (FLat.isEmpty() && FLng.isEmpty()) {
        FPage->SetIsLoading(false);
        return;
    }
    const QStringList scripts = PhaseMvmt::InitMapViewScripts(FLat, FLng, DM ? DM->G_MAP_MAX_ZOOM : 19,
                                                              DM ? DM->G_TILE_URL : QString(),
                                                              DM ? DM->G_MAP_NAME : QString());
    // initialize, the arrow layer; the ready call comes last.
    for (int i = 0; i + 1 < scripts.size(); ++i)
        Run(scripts.at(i));
    actDefault->setChecked(true);
    btnSearchClick();
    if (!scripts.isEmpty())
        Run(scripts.last());
}

void TfrmTCDV_E_PhaseMvmt::PageLoadFailed()
{
    if (FPage)
        FPage->SetIsLoading(false);
}

bool TfrmTCDV_E_PhaseMvmt::PageMessage(const QString &name, const QVariantList &args)
{
    if (name == QLatin1String("getLimitedNodeLink")) {
        if (MvmtEditorHost().StartLayerThreads)
            MvmtEditorHost().StartLayerThreads(args.value(0).toString(), this);
        return true;
    }
    if (name == QLatin1String("loadEndEx")) {
        if (args.value(0).toString() == QLatin1String("link"))
            FLoadEnd[0] = true;
        else
            FLoadEnd[1] = true;
        if (FPage)
            FPage->SetIsLoading(!(FLoadEnd[0] && FLoadEnd[1]));
        btnSearchClick();
        return true;
    }
    if (name == QLatin1String("loadEnd")) {
        if (FPage)
            FPage->SetIsLoading(false);
        btnSearchClick();
        return true;
    }
    return false;
}
