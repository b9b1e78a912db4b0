#include "mainwindow/MenuUnit.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "core/siLang.h"

namespace {
QString MainText(const char *key) { return siText(QStringLiteral("TfrmMain"), QString::fromLatin1(key)); }
} // namespace

bool AuthAdmin(int grade) { return grade == 1; }
bool AuthManager(int grade) { return grade == 1 || grade == 3; }
bool AuthOperator(int grade) { return grade >= 1 && grade <= 3; }
bool AuthPolice(int grade) { return grade >= 1 && grade <= 4; }

const QStringList &AuthManagerActions()
{
    static const QStringList l = {
        QStringLiteral("actOpenSA_E_Master"),        QStringLiteral("actOpenSA_E_Conf"),
        QStringLiteral("actOpenTCDV_E_Master"),      QStringLiteral("actOpenTCDV_E_SignalManagerVariable"),
        QStringLiteral("actOpenTCDV_E_Algorithm"),   QStringLiteral("actOpenTcdvTod"),
        QStringLiteral("actOpenTcdvForceTod"),       QStringLiteral("actOpenTcdvOffsetInfo"),
        QStringLiteral("actOpenTCDV_E_FlashMap"),    QStringLiteral("actOpenTCDV_E_ReservePlan"),
        QStringLiteral("actOpenTCDV_E_ConflictMap"), QStringLiteral("actOpenTFDT_E"),
        QStringLiteral("actReqtHostReboot"),         QStringLiteral("actReqtParamsChanged"),
        QStringLiteral("actOpenTCDV_Conf"),          QStringLiteral("actLine1"),
        QStringLiteral("actAuth"),                   QStringLiteral("actLine7")};
    return l;
}

const QStringList &AuthOperatorActions()
{
    static const QStringList l = {QStringLiteral("actOpenTCDV_M"),        QStringLiteral("actOpenTCDV_C_Control"),
                                  QStringLiteral("actOpenVIPControl"),    QStringLiteral("actOpenTrafficInfo"),
                                  QStringLiteral("actOpenTCDV_C_DBUpDn"), QStringLiteral("actOpenCURR_EV")};
    return l;
}

void AddSubMenu(TArrayOvikMenu &SubMenu, QAction *Action, const QString &Caption)
{
    TOvikMenu m;
    m.Action = Action;
    if (!Caption.isEmpty())
        m.Caption = Caption;
    SubMenu.append(m);
}

void ApplyGradeRules(const TActionLookup &action, int Grade)
{
    for (const QString &n : AuthManagerActions())
        if (QAction *a = action(n)) {
            a->setEnabled(AuthManager(Grade));
            a->setVisible(AuthManager(Grade));
        }
    for (const QString &n : AuthOperatorActions())
        if (QAction *a = action(n)) {
            a->setEnabled(AuthOperator(Grade));
            a->setVisible(AuthOperator(Grade));
        }
}

void MakeTwoLevelMenu(const TActionLookup &action, bool AdminMode, int Grade, TArrayOvikTwoLevelMenu &Menu)
{
    const bool manager = AuthManager(Grade);
    auto add = [&action](TArrayOvikMenu &sub, const char *name) { AddSubMenu(sub, action(QString::fromLatin1(name))); };
    auto sep = [](TArrayOvikMenu &sub) { AddSubMenu(sub, nullptr, QStringLiteral("-")); };

    Menu.clear();
    Menu.resize(7);
    // 1. System.
    Menu[0].Caption = MainText("IDS_37");
    if (Grade == 1) {
        add(Menu[0].SubMenu, "actOpenCOM_E");
        add(Menu[0].SubMenu, "actOpenUSER_E");
    }
    add(Menu[0].SubMenu, "actClose");
    // 2. Edit (managers only).
    Menu[1].Caption = MainText("IDS_38");
    Menu[1].Action = action(QStringLiteral("actAuth"));
    if (manager) {
        for (const char *n : {"actOpenSA_E_Master", "actOpenSA_E_Conf", "actOpenSA_E_Merge"})
            add(Menu[1].SubMenu, n);
        sep(Menu[1].SubMenu);
        for (const char *n : {"actOpenTCDV_E_Master", "actOpenTCDV_E_SignalManagerVariable", "actOpenTCDV_E_Algorithm",
                              "actOpenTcdvTod", "actOpenTcdvForceTod", "actOpenTcdvOffsetInfo", "actOpenTCDV_E_FlashMap",
                              "actOpenTCDV_E_ReservePlan", "actOpenTCDV_E_ConflictMap"})
            add(Menu[1].SubMenu, n);
        sep(Menu[1].SubMenu);
        for (const char *n : {"actOpenFirmwareInfo", "actOpenPPCBoardInfo", "actOpenTFDT_E"})
            add(Menu[1].SubMenu, n);
        sep(Menu[1].SubMenu);
        add(Menu[1].SubMenu, "actReqtHostReboot");
        add(Menu[1].SubMenu, "actReqtParamsChanged");
    }
    // 3. Monitoring and control.
    Menu[2].Caption = MainText("IDS_41");
    for (const char *n : {"actOpenSYS_M", "actOpenSA_M", "actOpenTCDV_M"})
        add(Menu[2].SubMenu, n);
    if (AdminMode && Grade == 1) {
        add(Menu[2].SubMenu, "actOpenLogCom");
        add(Menu[2].SubMenu, "actOpenTCDV_C_Log");
    }
    sep(Menu[2].SubMenu);
    for (const char *n : {"actOpenSA_C_Control", "actOpenTCDV_C_Control", "actOpenVIPControl", "actOpenTrafficInfo",
                          "actOpenTCDV_C_DBUpDn"})
        add(Menu[2].SubMenu, n);
    // 4. Events.
    Menu[3].Caption = MainText("IDS_44");
    for (const char *n : {"actOpenCURR_EV", "actOpenEventHistory", "actOpenEventDay"})
        add(Menu[3].SubMenu, n);
    // 5. History.
    Menu[4].Caption = MainText("IDS_45");
    add(Menu[4].SubMenu, "actOpenSA_HS_Sgnl");
    add(Menu[4].SubMenu, "actOpenSA_HS_Join");
    sep(Menu[4].SubMenu);
    for (const char *n : {"actOpenTCDV_HS_Sgnl", "actOpenTCDV_TR", "actOpenTCDV_TR_Stt"})
        add(Menu[4].SubMenu, n);
    sep(Menu[4].SubMenu);
    for (const char *n : {"actOpenTFDT_NOW", "actOpenTFDT_HS", "actOpenTFDT_HS_Stt"})
        add(Menu[4].SubMenu, n);
    sep(Menu[4].SubMenu);
    add(Menu[4].SubMenu, "actOpenEmAnalysis");
    // 6. Tools (managers only).
    Menu[5].Caption = MainText("IDS_46");
    if (manager)
        for (const char *n : {"actOpenOvikEditor", "actOpenCopyGroup", "actOpenCopyInt", "actOpenTCDV_Conf",
                              "actOpenTimeSpaceDiagram"})
            add(Menu[5].SubMenu, n);
    // 7. Admin (a fixed text).
    Menu[6].Caption = QStringLiteral("Admin");
    for (const char *n : {"actShowDevTool", "actWebViewRefresh", "actOpenNodeTool", "actOpenLinkTool", "actOpenSaTool",
                          "actHelp"})
        add(Menu[6].SubMenu, n);

    ApplyGradeRules(action, Grade);
}

void SetActionMainMenu(const TArrayOvikTwoLevelMenu &Menu, const QFont &MenuFont, bool AdminMode, QMenuBar *MenuBar)
{
    if (!MenuBar)
        return;
    MenuBar->clear();
    MenuBar->setFont(MenuFont);
    for (const TOvikTwoLevelMenu &top : Menu) {
        if (top.Caption == QLatin1String("Admin") && !AdminMode)
            continue;
        if (top.SubMenu.isEmpty())
            continue;
        const QString caption = top.Caption.isEmpty() && top.Action ? top.Action->text() : top.Caption;
        QMenu *m = MenuBar->addMenu(caption);
        m->setObjectName(QStringLiteral("mnu%1").arg(MenuBar->actions().size()));
        m->setFont(MenuFont);
        for (const TOvikMenu &e : top.SubMenu) {
            if (!e.Action) {
                if (e.Caption == QLatin1String("-"))
                    m->addSeparator();
                continue;
            }
            if (!e.Caption.isEmpty())
                e.Action->setText(e.Caption);
            m->addAction(e.Action);
        }
    }
}

QStringList MenuBarOutline(QMenuBar *bar)
{
    QStringList out;
    if (!bar)
        return out;
    for (QAction *top : bar->actions()) {
        QMenu *m = top->menu();
        if (!m)
            continue;
        QStringList items;
        for (QAction *a : m->actions()) {
            if (a->isSeparator())
                items << QStringLiteral("-");
            else if (a->isVisible())
                items << (a->objectName() + (a->isEnabled() ? QString() : QStringLiteral("(disabled)")));
        }
        out << top->text() + QStringLiteral(": ") + items.join(QStringLiteral(", "));
    }
    return out;
}
