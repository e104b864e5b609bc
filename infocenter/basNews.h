#pragma once
// Stored news items, the news settings and the channel replies, without a
// window.
//
// Each item lives in a folder of its own below the news folder
// (<program folder>/InfoCenter/News/<NewsID>/news.xml; a web-page item also
// holds index.htm there). The settings are InfoCenter/setting.ini, section
// "NewsChannel". Element names of news.xml and of channel replies are matched
// without regard to case. A NewsID names a folder, so only an ID that is not
// empty, holds no "/" or "\" and is not "." or ".." is ever written; an item is
// deleted by the folder it was read from.

#include "common/DBResultSet.h"

#include <QList>
#include <QString>

// The news channels: column 0 the channel key, column 2 its base address.
// Nothing in the program fills it.
extern DBResultSet g_varNewsChannels;

struct NewsItem {
    QString NewsID;
    QString Subject;
    QString Content;
    QString LinkUrl;
    QString IssueTime;
    QString IssueOrgName;
    QString NewsType;
    bool Readed = false;
    // The folder (name below the news folder) the item was read from or
    // written to; empty for an item not stored.
    QString Folder;
};

// <program folder>/InfoCenter/ and <program folder>/InfoCenter/News/.
QString strInfoCenterFolder();
QString strNewsFolder();

struct NewsSetting {
    int CheckCycle = 0;
    int Timeout = 0;
    QString LastNewsTime;
};

// Reads the settings file into `s`. True when read, and when the file does not
// exist (nothing is then read). False when CheckCycle or Timeout is missing,
// empty or not a 32-bit number: the keys before it are kept, *error says which.
bool blnReadNewsSettingFile(const QString& file, NewsSetting& s, QString* error);
// Writes LastNewsTime when the file exists.
bool blnSaveNewsSettingFile(const QString& file, const QString& lastNewsTime);

bool blnIsSafeNewsId(const QString& id);
// The list key of an item: "K" & NewsID, or "K/" & its folder for an item
// whose NewsID cannot name a folder (a news.xml that does not parse).
QString strNewsKey(const NewsItem& item);

// Reads one news.xml into `item` (fields of the file's elements replace the
// item's; the others stay). True also when the file does not parse; *parsed
// tells which.
bool blnReadNewsFile(const QString& path, NewsItem& item, bool* parsed = nullptr);
// Writes the item's news.xml whole (temporary file, then renamed into place)
// in <newsFolder>/<NewsID>/, creating the folders. False (nothing written) for
// an unsafe NewsID or a folder or file that cannot be made.
bool blnSaveNewsFile(const QString& newsFolder, NewsItem& item);
// Deletes an item's folder with everything in it; nothing for an empty or
// unsafe folder name.
bool blnDeleteNewsFolder(const QString& newsFolder, const QString& folder);

// The stored items, folders by name (without regard to case), read from disk
// (Readed true); folders without news.xml are skipped; of several items with
// one key the first stays; at most 32,767 items.
QList<NewsItem> listStoredNews(const QString& newsFolder);

// The rows of one channel reply (every child "Table" of each top-level node),
// Readed false; no rows for a file that does not parse.
QList<NewsItem> parseNewsReply(const QString& path);

// <base>CheckLastNews.aspx?lasttime=yyyy-mm-dd from the date of the held
// last-news time (today when it holds no date).
QString strCheckNewsUrl(const QString& base, const QString& lastNewsTime);
// Raises `last` to `issueTime` when that is larger (ordinal comparison).
void subRaiseLastNewsTime(QString& last, const QString& issueTime);
