#include "mainwindow/HostRequestUnit.h"

#include "mainwindow/PanelTextUnit.h"
#include "core/Quorval.h"
#include "centrelink/UpDnThread.h"
#include "core/untDM.h"

namespace {

// Runs its function when leaving the scope, whatever the way out.
struct TScopeExit
{
    std::function<void()> fn;
    ~TScopeExit()
    {
        if (fn)
            fn();
    }
};

} // namespace

const THostRequestDef &HostRequestDef(THostRequestKind kind)
{
    static const THostRequestDef params{QStringLiteral("actReqtParamsChanged"), QStringLiteral("IDS_64"),
                                        QStringLiteral("IDS_35"), opParamsChanged, opParamsChangedReply, 1};
    static const THostRequestDef reboot{QStringLiteral("actReqtHostReboot"), QStringLiteral("IDS_65"),
                                        QStringLiteral("IDS_36"), opRestartServer, opRestartServerReply, 2};
    return kind == hrHostReboot ? reboot : params;
}

void BuildHostRequest(THostSimplePacket &req, THostRequestKind kind)
{
    req.Reset();
    req.SetHead(HostRequestDef(kind).Opcode, ktServer, 0);
}

QString HostRequestResultText(THostRequestKind kind, int rtn, quint8 replyCommand)
{
    const THostRequestDef &def = HostRequestDef(kind);
    const QString name = PanelText(def.NameKey);
    switch (rtn) {
    case rcConnectFailed:
        return PanelFormat(QStringLiteral("%s : %s"), {name, PanelText(QStringLiteral("IDS_30"))});
    case rcSendFailed:
        return PanelFormat(QStringLiteral("%s : %s"), {name, PanelText(QStringLiteral("IDS_31"))});
    case rcReceiveFailed:
        return PanelFormat(QStringLiteral("%s : %s"), {name, PanelText(QStringLiteral("IDS_32"))});
    default:
        break;
    }
    const QString word = replyCommand == def.ReplyCommand ? PanelText(QStringLiteral("IDS_33"))
                                                          : PanelText(QStringLiteral("IDS_34"));
    return QStringLiteral("[") + name + QStringLiteral("] ") + word;
}

bool ExecuteHostRequest(QWidget *owner, THostRequestKind kind, const THostRequestHooks &hooks, QString *resultText)
{
    const THostRequestDef &def = HostRequestDef(kind);
    const QString caption = PanelText(QStringLiteral("IDS_29"));
    if (ShowMsgDlg(owner, PanelAppTitle(), PanelText(def.QuestionKey), caption, QString(), mkQuestion) != mrYes)
        return false;

    if (hooks.StopMonitoring)
        hooks.StopMonitoring();
    // Monitoring comes back whatever happens below, after the result box.
    TScopeExit restart{hooks.StartMonitoring};

    THostSimplePacket req;
    THostSimplePacket res;
    BuildHostRequest(req, kind);
    res.Reset();

    QString text;
    try {
        TUpDnThread thread(&req, &res);
        thread.Start();
        const int rtn = thread.WaitFor();
        // A failed exchange leaves no reply header to judge.
        const quint8 command = (rtn == rcConnectFailed || rtn == rcSendFailed || rtn == rcReceiveFailed)
                                   ? quint8(0)
                                   : res.Head.command;
        text = HostRequestResultText(kind, rtn, command);
        if (DM)
            DM->WriteEventControl(DM->G_APP_USER.ID, 13, def.EventValue, 3, false, 0, text);
        if (hooks.AddLogCom)
            hooks.AddLogCom(text);
        ShowMsgDlg(owner, PanelAppTitle(), text, caption, QString(), mkInformation);
    } catch (const std::exception &e) {
        ShowMsgDlg(owner, PanelAppTitle(), QString::fromLocal8Bit(e.what()), caption, QString(), mkError);
    }
    if (resultText)
        *resultText = text;
    return true;
}
