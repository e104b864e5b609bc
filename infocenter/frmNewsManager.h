#pragma once
// frmNewsManager, the news window: the stored news items in a list with check
// boxes, the selected item's text, page or link, deleting ticked items, and
// the check of the news channels (two download queues: the channel replies
// and the pages of web-page items).
//
// "T" items show their Content in the text box; "W" items their index.htm in
// a browser that loads nothing remote and runs no scripts; "L" items their
// address as a link that opens in the desktop's browser (http and https only).

#include "infocenter/basNews.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QStackedWidget;
class QTextBrowser;
class QTextEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class cHttpDownload;
namespace ui {
class CommandBar;
}

class frmNewsManager : public QWidget {
    Q_OBJECT
public:
    // Roles of the list entries.
    enum { KeyRole = Qt::UserRole + 1, IndexRole, IconKeyRole };

    explicit frmNewsManager(QWidget* owner = nullptr);
    ~frmNewsManager() override;

    // The open window, or nullptr.
    static frmNewsManager* instance();

    bool blnReadNewsSetting();
    void subSaveNewsSetting();
    void ShowOption() {}
    void subLoadNewsList();
    // Appends the list entry of m_NewsItems[index] and selects it.
    void subAddNewsItem(int index);

    void subCheckNews();
    // Reads every channel's reply and then stores and lists its rows a batch
    // of kRowsPerTurn at a time from the event loop, so the window answers
    // while a long reply fills it; the progress strip stays until the last row.
    void subReadNewsReplies();
    // Stores and lists every row of one reply at once.
    bool blnParseNewsReply(const QString& path);
    static constexpr int kRowsPerTurn = 200;
    bool readingReplies() const { return pendingAt_ < pendingRows_.size(); }

    void tbStandard_ButtonClick(const QString& key);
    // Shows the entry's item (as a click on it does).
    void subShowEntry(QTreeWidgetItem* entry);
    // The column header's click: tick every entry, or clear every tick.
    void lvTree_ColumnClick();
    void subDeleteNews();

    void subShowProcess();
    void subHideProcess();

    // The entry keyed "K" & NewsID (or "K/" & folder), or nullptr.
    QTreeWidgetItem* entry(const QString& key) const;
    QString headerState() const { return m_strHeaderState; }

    int m_lngCheckCycle = 0;
    int m_lngTimeout = 0;
    QString m_strLastNewsTime;
    QList<NewsItem> m_NewsItems;
    cHttpDownload* m_CheckNews = nullptr;
    cHttpDownload* m_HttpDownload = nullptr;

    QTreeWidget* lvTree = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblIssue = nullptr;
    QLabel* lblSubject = nullptr;
    QStackedWidget* picStack = nullptr;
    QTextEdit* txtNews = nullptr;
    QTextBrowser* wbNews = nullptr;
    ui::CommandBar* tbStandard = nullptr;
    QProgressBar* picProcess = nullptr;
    QTimer* tmReaded = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void clearDetail();
    void showFirst();
    void markRead();
    void onCheckState(const QString& key, int state);
    void onPageState(int state);
    void addReplyRow(NewsItem row, bool select);
    void subAddNewsItem(int index, bool select);
    void readPendingRows();
    void afterReplies();

    QString m_strHeaderState = QStringLiteral("UnChecked");
    bool adding_ = false;
    QHash<QString, QTreeWidgetItem*> entries_; // by key
    QList<NewsItem> pendingRows_;
    qsizetype pendingAt_ = 0;
};
