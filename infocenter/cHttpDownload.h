#pragma once
// cHttpDownload: a queue of HTTP downloads into local files, fetched one after
// another, each step reported through StateChanged(key, state, fileLength,
// downloadLength):
//
//   0 a run begins ("")              5 time-out before any data, FileLength 0
//   1 an item starts                 6 time-out before any data, FileLength != 0
//   2 the first data came, the file  7 the transfer failed (error, a status
//     is opened (announced, 0)         other than 2xx, fewer bytes than
//   3 a chunk was written              announced, a stall asked again three
//     (announced, written so far)      times, a one-call reply without
//   4 the item finished (length,       "<items>", a file that cannot be written)
//     length)                        8 the run has ended ("")
//
// Every request is asynchronous (one network manager and two timers of the
// queue's own; nothing blocks, no nested event loop). An item's time-out (in
// seconds; below 1: the queue's default time-out, else 30 s) covers the wait
// for the first data, and it is also the item's whole time: a transfer whose
// data trickles in still ends then (with 7 once data has come). Once data
// flows, a transfer that stays idle for more than 10 ticks is requested anew,
// at most three times; then it ends with 7. A reply that announces or brings
// more than maxBytes() is cut off with 7.
// The body is written in chunks of 1024 bytes to a temporary file that
// replaces the destination only when state 4 is raised: a failed item leaves
// no file and an older file stays whole. Without a Content-Length the body is
// complete when the reply ended normally, and FileLength is then 0 in states 2
// and 3. A "one-call" (Async) item is received whole and stored only when its
// bytes hold "<items>"; its states are 1 and then 4 or 7.
//
// SrcUrl turns every "\" into "/", DesUrl every "/" into "\" (the stored form;
// the file is written with "/" separators). A port written in the address wins
// over the item's port; otherwise the item's port is used, except that 80 on
// an https address means the scheme's own port.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

struct HttpDownloadItem {
    QString Key;
    QString SrcUrl;
    QString DesUrl;
    int Port = 80;
    int Timeout = 0;
    int FileLength = -1;
    bool Async = false;
};

class cHttpDownload : public QObject {
    Q_OBJECT
public:
    explicit cHttpDownload(QObject* parent = nullptr);
    ~cHttpDownload() override;

    int CompletedCount() const { return pos_; }
    int DownloadListCount() const { return int(items_.size()); }
    bool StillExecuting() const { return running_; }
    const HttpDownloadItem& item(int index) const { return items_.at(index - 1); }

    // Empties the list; a run in progress is stopped first (as StopDownload).
    void Clear();
    // False and error 11000 "关键值重复" when the key is queued already (the
    // list is unchanged); false and error 6 beyond 32,767 items.
    bool AddHttpDownload(const QString& sKey, const QString& sSrcUrl, const QString& sDesUrl, int lPort,
                         bool Async, int lTimeout);
    // Disarms both timers.
    void Init();
    // Ends a run at once, without state 8; the transfer is dropped.
    void StopDownload();
    // Starts a run at item 1 (over again during a run); nothing on an empty list.
    void StartDownload();
    // Fetches the item at `index` (1-based) as a one-call item.
    void AsyncHttpDownload(int index);

    // The error of the last refused AddHttpDownload.
    int lastErrorNumber() const { return errNo_; }
    QString lastErrorText() const { return errText_; }

    // Seconds for items without a time-out of their own (below 1: 30 s).
    void setDefaultTimeout(int seconds) { defaultTimeout_ = seconds; }
    // The watchdog tick (1000 ms) and the pause between items (100 ms);
    // tests shorten them.
    void setTickInterval(int ms);
    void setMoveOnDelay(int ms) { moveOnDelay_ = ms; }
    // The most bytes one reply may bring (default kMaxBytes).
    void setMaxBytes(qint64 bytes) { maxBytes_ = bytes; }
    qint64 maxBytes() const { return maxBytes_; }

    static constexpr int kChunk = 1024;
    static constexpr int kStallTicks = 10;
    static constexpr int kMaxRetries = 3;
    static constexpr int kMaxItems = 32767;
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

signals:
    void StateChanged(const QString& Key, int State, int FileLength, int DownloadLength);

private:
    void startItem(int index);
    void request();
    void dropReply();
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void onTimeoutTick();
    void onProgress(qint64 received, qint64 total);
    void onRetryTick();
    bool openTarget();
    void writeChunks(bool all);
    void failItem();
    void moveOn();
    int timeoutSeconds() const;
    void raise(int state, int fileLength = 0, int downloadLength = 0);

    QList<HttpDownloadItem> items_;
    QSet<QString> keys_;
    int pos_ = 0;
    bool running_ = false;
    quint64 generation_ = 0; // bumped by every start, stop and clear

    QNetworkAccessManager* nam_ = nullptr;
    QPointer<QNetworkReply> reply_;
    std::unique_ptr<QSaveFile> file_;
    QTimer timeoutTimer_;
    QTimer retryTimer_;
    int timeoutTicks_ = 0;
    int totalTicks_ = 0;
    qint64 maxBytes_ = kMaxBytes;
    int idleTicks_ = 0;
    int retries_ = 0;
    int announced_ = 0;
    qint64 written_ = 0;
    bool receiving_ = false;
    bool sawData_ = false;
    bool oneCall_ = false;

    int defaultTimeout_ = 0;
    int moveOnDelay_ = 100;
    int errNo_ = 0;
    QString errText_;
};
