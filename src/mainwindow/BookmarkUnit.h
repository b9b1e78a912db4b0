#pragma once
// The operator's nine map bookmarks: a JSON object with members "B1".."B9", each
// {"zoom": <zoom level>, "latlng": [<latitude>, <longitude>]} (coordinates rounded
// to 7 decimal places), kept in SCS_M_USER.BOOKMARKS. It is read at the main
// window's creation (from G_APP_USER.Bookmarks), changed in memory and written
// back once at shutdown.
//
// Main window:
//   creation:  FBookmarkJsonObject = ParseBookmarks(DM->G_APP_USER.Bookmarks);
//   Ctrl+n:    ExecuteBookmarkRecall(this, FBookmarkJsonObject, n, MapBridge());
//   Alt+n:     ExecuteBookmarkRegister(FBookmarkJsonObject, n, FCurrentPos, FScale, MapBridge());
//   shutdown:  SaveBookmarks(FBookmarkJsonObject, DM->Con(), DM->G_APP_USER.ID);
#include <QJsonObject>
#include <QSqlDatabase>
#include <QString>
#include <optional>

#include "foundation/TypeUnit.h"

class IMapBridge;
class QWidget;

// Parses the stored text; an empty text counts as "{}". Absent when the text is
// not a JSON object (bookmarks then cannot be registered until the program ends).
std::optional<QJsonObject> ParseBookmarks(const QString &text);
// The compact JSON text of the object ("{}" when absent).
QString BookmarksJson(const std::optional<QJsonObject> &bookmarks);

// "EN" for English, "KO" otherwise (language numbers of the dispatcher).
QString BookmarkLanguageCode(int language);
// The active language's code.
QString BookmarkLanguageCode();

// Registers bookmark n (1..9) at the position and zoom: replaces member "B"n. An
// unreadable latitude counts as 37, an unreadable longitude as 126. Returns the page
// script that shows the registration; empty (nothing changed) when the object is
// absent or n is outside 1..9.
QString RegisterBookmark(std::optional<QJsonObject> &bookmarks, int n, const TLatLng &pos, int zoom,
                         const QString &languageCode);
// The page script that recalls bookmark n; empty when it is not registered.
QString RecallBookmarkScript(const std::optional<QJsonObject> &bookmarks, int n, const QString &languageCode);
// The no-bookmark message for n (IDS_121 with the number).
QString NoBookmarkMessage(int n);

// The actions: run the script in the page, or show the no-bookmark box.
void ExecuteBookmarkRegister(std::optional<QJsonObject> &bookmarks, int n, const TLatLng &pos, int zoom,
                             IMapBridge *page);
void ExecuteBookmarkRecall(QWidget *owner, const std::optional<QJsonObject> &bookmarks, int n, IMapBridge *page);

// The statement of the save at shutdown.
QString SaveBookmarksSql();
// Writes the object of the operator (nothing when absent). False on an error, which
// the caller ignores.
bool SaveBookmarks(const std::optional<QJsonObject> &bookmarks, QSqlDatabase db, const QString &userId,
                   QString *error = nullptr);
// Reads the operator's stored text (empty when NULL or no row).
QString ReadBookmarks(QSqlDatabase db, const QString &userId, bool *ok = nullptr);
