#include "mainwindow/BookmarkUnit.h"

#include "foundation/JsEscape.h"
#include "core/MainContracts.h"
#include "mainwindow/PanelTextUnit.h"
#include "core/Quorval.h"
#include "core/siLang.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace {

QString MemberName(int n) { return QStringLiteral("B%1").arg(n); }

double ReadCoordinate(const QString &text, double fallback)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return fallback;
    return v;
}

double Round7(double v) { return std::round(v * 1e7) / 1e7; }

// A JSON value as the text the page gets (numbers in the shortest C form).
QString ValueText(const QJsonValue &v)
{
    if (v.isDouble())
        return JsNum(v.toDouble());
    return JsNumText(v.toVariant().toString());
}

} // namespace

std::optional<QJsonObject> ParseBookmarks(const QString &text)
{
    const QString src = text.trimmed().isEmpty() ? QStringLiteral("{}") : text;
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(src.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

QString BookmarksJson(const std::optional<QJsonObject> &bookmarks)
{
    if (!bookmarks)
        return QStringLiteral("{}");
    return QString::fromUtf8(QJsonDocument(*bookmarks).toJson(QJsonDocument::Compact));
}

QString BookmarkLanguageCode(int language)
{
    return language == TsiLangDispatcher::LangEnglish ? QStringLiteral("EN") : QStringLiteral("KO");
}

QString BookmarkLanguageCode()
{
    return BookmarkLanguageCode(TsiLangDispatcher::instance()->ActiveLanguage());
}

QString RegisterBookmark(std::optional<QJsonObject> &bookmarks, int n, const TLatLng &pos, int zoom,
                         const QString &languageCode)
{
    if (!bookmarks || n < 1 || n > 9)
        return QString();
    bookmarks->remove(MemberName(n));
    QJsonArray latlng;
    latlng.append(Round7(ReadCoordinate(pos.Lat, 37)));
    latlng.append(Round7(ReadCoordinate(pos.Lng, 126)));
    QJsonObject entry;
    entry.insert(QStringLiteral("zoom"), zoom);
    entry.insert(QStringLiteral("latlng"), latlng);
    bookmarks->insert(MemberName(n), entry);
    return PanelFormat(QStringLiteral(" showBookmarkFlag(\"altKey\", %d, \"%s\"); "),
                       {n, JsEscape(languageCode)});
}

QString RecallBookmarkScript(const std::optional<QJsonObject> &bookmarks, int n, const QString &languageCode)
{
    if (!bookmarks)
        return QString();
    const QJsonValue v = bookmarks->value(MemberName(n));
    if (!v.isObject())
        return QString();
    const QJsonObject o = v.toObject();
    const QJsonArray latlng = o.value(QStringLiteral("latlng")).toArray();
    const QString lat = ValueText(latlng.at(0));
    const QString lng = ValueText(latlng.at(1));
    const QString zoom = ValueText(o.value(QStringLiteral("zoom")));
    return PanelFormat(QStringLiteral(" map.setView([%s,%s], %s, {    pan: { animate: true , duration: 0.5 },    zoom: "
                                      "{ animate: true },    animate: true});  map.once(\"moveend\", function() { "
                                      "showBookmarkFlag(\"ctrlKey\", %d, \"%s\"); }); "),
                       {lat, lng, zoom, n, JsEscape(languageCode)});
}

QString NoBookmarkMessage(int n)
{
    return PanelFormat(PanelText(QStringLiteral("IDS_121")), {n});
}

void ExecuteBookmarkRegister(std::optional<QJsonObject> &bookmarks, int n, const TLatLng &pos, int zoom,
                             IMapBridge *page)
{
    const QString script = RegisterBookmark(bookmarks, n, pos, zoom, BookmarkLanguageCode());
    if (!script.isEmpty() && page)
        page->ExecuteJavaScript(script);
}

void ExecuteBookmarkRecall(QWidget *owner, const std::optional<QJsonObject> &bookmarks, int n, IMapBridge *page)
{
    const QString script = RecallBookmarkScript(bookmarks, n, BookmarkLanguageCode());
    if (script.isEmpty()) {
        ShowMsgDlg(owner, PanelAppTitle(), NoBookmarkMessage(n), PanelText(QStringLiteral("IDS_120")), QString(),
                   mkInformation);
        return;
    }
    if (page)
        page->ExecuteJavaScript(script);
}

QString SaveBookmarksSql()
{
    return QStringLiteral(" UPDATE SCS_M_USER SET BOOKMARKS = :BOOKMARKS WHERE USER_ID = :USER_ID ");
}

bool SaveBookmarks(const std::optional<QJsonObject> &bookmarks, QSqlDatabase db, const QString &userId,
                   QString *error)
{
    if (!bookmarks)
        return true;
    QSqlQuery q(db);
    q.prepare(SaveBookmarksSql());
    q.bindValue(QStringLiteral(":BOOKMARKS"), BookmarksJson(bookmarks));
    q.bindValue(QStringLiteral(":USER_ID"), userId);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    return true;
}

QString ReadBookmarks(QSqlDatabase db, const QString &userId, bool *ok)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" SELECT BOOKMARKS FROM SCS_M_USER WHERE USER_ID = :USER_ID "));
    q.bindValue(QStringLiteral(":USER_ID"), userId);
    const bool good = q.exec();
    if (ok)
        *ok = good;
    if (!good || !q.next())
        return QString();
    return q.value(0).toString();
}
