#include "infocenter/cHttpDownload.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

namespace {

bool isSuccess(QNetworkReply* reply) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

} // namespace

cHttpDownload::cHttpDownload(QObject* parent) : QObject(parent), nam_(new QNetworkAccessManager(this)) {
    timeoutTimer_.setInterval(1000);
    retryTimer_.setInterval(1000);
    connect(&timeoutTimer_, &QTimer::timeout, this, &cHttpDownload::onTimeoutTick);
    connect(&retryTimer_, &QTimer::timeout, this, &cHttpDownload::onRetryTick);
}

cHttpDownload::~cHttpDownload() {
    StopDownload();
    dropReply();
}

void cHttpDownload::setTickInterval(int ms) {
    timeoutTimer_.setInterval(ms);
    retryTimer_.setInterval(ms);
}

void cHttpDownload::Clear() {
    StopDownload();
    items_.clear();
    keys_.clear();
}

bool cHttpDownload::AddHttpDownload(const QString& sKey, const QString& sSrcUrl, const QString& sDesUrl,
                                    int lPort, bool Async, int lTimeout) {
    errNo_ = 0;
    errText_.clear();
    if (keys_.contains(sKey)) {
        errNo_ = 11000;
        errText_ = QStringLiteral("关键值重复");
        return false;
    }
    if (items_.size() >= kMaxItems) {
        errNo_ = 6;
        errText_ = QStringLiteral("溢出");
        return false;
    }
    HttpDownloadItem it;
    it.Key = sKey;
    it.SrcUrl = QString(sSrcUrl).replace(QLatin1Char('\\'), QLatin1Char('/'));
    it.DesUrl = QString(sDesUrl).replace(QLatin1Char('/'), QLatin1Char('\\'));
    it.Port = lPort;
    it.Async = Async;
    it.Timeout = lTimeout;
    items_.append(it);
    keys_.insert(sKey);
    return true;
}

void cHttpDownload::Init() {
    timeoutTimer_.stop();
    retryTimer_.stop();
}

void cHttpDownload::StopDownload() {
    if (!running_) return;
    running_ = false;
    ++generation_;
    dropReply();
    timeoutTimer_.stop();
    retryTimer_.stop();
}

void cHttpDownload::StartDownload() {
    if (items_.isEmpty()) return;
    ++generation_;
    dropReply();
    pos_ = 1;
    running_ = true;
    raise(0);
    // The first item starts from the event loop, as every later one does.
    const quint64 gen = generation_;
    QTimer::singleShot(0, this, [this, gen] {
        if (gen == generation_ && running_) startItem(1);
    });
}

void cHttpDownload::startItem(int index) {
    if (index < 1 || index > items_.size()) return;
    dropReply();
    pos_ = index;
    HttpDownloadItem& it = items_[index - 1];
    announced_ = 0;
    it.FileLength = -1;
    retries_ = 0;
    timeoutTicks_ = 0;
    totalTicks_ = 0;
    timeoutTimer_.start();
    const quint64 gen = generation_;
    raise(1);
    if (gen != generation_) return;
    if (it.Async)
        AsyncHttpDownload(index);
    else {
        oneCall_ = false;
        request();
    }
}

void cHttpDownload::AsyncHttpDownload(int index) {
    if (index < 1 || index > items_.size()) return;
    pos_ = index;
    oneCall_ = true;
    request();
}

void cHttpDownload::request() {
    dropReply();
    const HttpDownloadItem& it = items_.at(pos_ - 1);
    written_ = 0;
    idleTicks_ = 0;
    sawData_ = false;
    QUrl url(it.SrcUrl);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        failItem();
        moveOn();
        return;
    }
    if (url.port() == -1 && it.Port > 0 && it.Port <= 65535 &&
        !(scheme == QLatin1String("https") && it.Port == 80))
        url.setPort(it.Port);
    QNetworkRequest req(url);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = nam_->get(req);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &cHttpDownload::onMetaData);
    connect(reply_, &QNetworkReply::finished, this, &cHttpDownload::onFinished);
    connect(reply_, &QNetworkReply::downloadProgress, this, &cHttpDownload::onProgress);
    if (!oneCall_) connect(reply_, &QIODevice::readyRead, this, &cHttpDownload::onReadyRead);
    retryTimer_.start();
}

void cHttpDownload::dropReply() {
    if (reply_) {
        QNetworkReply* r = reply_;
        reply_ = nullptr;
        disconnect(r, nullptr, this, nullptr);
        r->abort();
        r->deleteLater();
    }
    file_.reset(); // an uncommitted file leaves nothing behind
    receiving_ = false;
}

void cHttpDownload::onMetaData() {
    if (!reply_ || announced_ != 0) return;
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    // A compressed body is unpacked on arrival: its length says nothing then.
    const QByteArray coding = reply_->rawHeader("Content-Encoding").trimmed().toLower();
    if (!length.isValid() || !(coding.isEmpty() || coding == "identity")) return;
    if (length.toLongLong() > maxBytes_) {
        failItem();
        moveOn();
        return;
    }
    announced_ = int(qBound<qint64>(0, length.toLongLong(), qint64(INT_MAX)));
    if (pos_ >= 1 && pos_ <= items_.size()) items_[pos_ - 1].FileLength = announced_;
}

bool cHttpDownload::openTarget() {
    QString path = items_.at(pos_ - 1).DesUrl;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    file_ = std::make_unique<QSaveFile>(path);
    if (!file_->open(QIODevice::WriteOnly)) {
        file_.reset();
        return false;
    }
    return true;
}

void cHttpDownload::onReadyRead() {
    if (!reply_ || !isSuccess(reply_)) return; // an error page is not stored; finished() reports it
    idleTicks_ = 0;
    if (!sawData_) {
        sawData_ = true;
        receiving_ = true;
        if (!openTarget()) {
            failItem();
            moveOn();
            return;
        }
        const quint64 gen = generation_;
        raise(2, announced_, 0);
        if (gen != generation_ || !reply_) return;
    }
    writeChunks(false);
}

void cHttpDownload::writeChunks(bool all) {
    const quint64 gen = generation_;
    while (reply_ && file_ && (reply_->bytesAvailable() >= kChunk || (all && reply_->bytesAvailable() > 0))) {
        const QByteArray chunk = reply_->read(kChunk);
        if (written_ + chunk.size() > maxBytes_ || file_->write(chunk) != chunk.size()) {
            failItem();
            moveOn();
            return;
        }
        written_ += chunk.size();
        raise(3, announced_, int(written_));
        if (gen != generation_) return;
    }
}

void cHttpDownload::onFinished() {
    QNetworkReply* r = qobject_cast<QNetworkReply*>(sender());
    if (!r || r != reply_) return;
    retryTimer_.stop();
    timeoutTimer_.stop();
    const bool ok = r->error() == QNetworkReply::NoError && isSuccess(r);
    if (!ok) {
        failItem();
        moveOn();
        return;
    }
    int length = 0;
    if (oneCall_) {
        const QByteArray body = r->readAll();
        if (!body.contains("<items>") || !openTarget() || file_->write(body) != body.size()) {
            failItem();
            moveOn();
            return;
        }
        length = int(body.size());
    } else {
        if (!sawData_ && r->bytesAvailable() > 0) {
            onReadyRead();
            if (reply_ != r) return;
        }
        writeChunks(true);
        if (reply_ != r) return;
        if (!file_ && !openTarget()) { // an empty body still makes an (empty) file
            failItem();
            moveOn();
            return;
        }
        if (announced_ > 0 && written_ != announced_) {
            failItem();
            moveOn();
            return;
        }
        length = int(written_);
    }
    if (!file_->commit()) {
        file_.reset();
        failItem();
        moveOn();
        return;
    }
    file_.reset();
    reply_ = nullptr;
    r->deleteLater();
    receiving_ = false;
    const quint64 gen = generation_;
    raise(4, length, length);
    if (gen == generation_) moveOn();
}

void cHttpDownload::failItem() {
    dropReply();
    timeoutTimer_.stop();
    retryTimer_.stop();
    raise(7);
}

int cHttpDownload::timeoutSeconds() const {
    const int own = items_.at(pos_ - 1).Timeout;
    if (own >= 1) return own;
    return defaultTimeout_ >= 1 ? defaultTimeout_ : 30;
}

void cHttpDownload::onProgress(qint64 received, qint64 total) {
    if (!reply_ || sender() != reply_) return;
    if (received <= maxBytes_ && total <= maxBytes_) return;
    failItem();
    moveOn();
}

void cHttpDownload::onTimeoutTick() {
    if (pos_ < 1 || pos_ > items_.size()) {
        timeoutTimer_.stop();
        return;
    }
    // The item's whole time, data or not.
    if (++totalTicks_ > timeoutSeconds() && sawData_) {
        failItem();
        moveOn();
        return;
    }
    if (sawData_) return;
    if (++timeoutTicks_ <= timeoutSeconds() && totalTicks_ <= timeoutSeconds()) return;
    timeoutTicks_ = 0;
    timeoutTimer_.stop();
    retryTimer_.stop();
    const int state = items_.at(pos_ - 1).FileLength != 0 ? 6 : 5;
    dropReply();
    const quint64 gen = generation_;
    raise(state);
    if (gen == generation_) moveOn();
}

void cHttpDownload::onRetryTick() {
    // Only a transfer whose data has begun and then stopped is asked again;
    // the wait for the first data belongs to the time-out.
    if (!running_ || !reply_ || !sawData_ || reply_->isFinished()) return;
    if (++idleTicks_ <= kStallTicks) return;
    idleTicks_ = 0;
    if (retries_ >= kMaxRetries) {
        failItem();
        moveOn();
        return;
    }
    ++retries_;
    announced_ = 0;
    items_[pos_ - 1].FileLength = 0;
    timeoutTicks_ = 0;
    timeoutTimer_.start();
    request();
}

void cHttpDownload::moveOn() {
    if (!running_) return;
    if (pos_ < items_.size()) {
        const quint64 gen = generation_;
        QTimer::singleShot(moveOnDelay_, this, [this, gen] {
            if (gen == generation_ && running_ && pos_ < items_.size()) startItem(pos_ + 1);
        });
        return;
    }
    running_ = false;
    ++generation_;
    retryTimer_.stop();
    timeoutTimer_.stop();
    dropReply();
    raise(8);
}

void cHttpDownload::raise(int state, int fileLength, int downloadLength) {
    const QString key =
        (state == 0 || state == 8 || pos_ < 1 || pos_ > items_.size()) ? QString() : items_.at(pos_ - 1).Key;
    emit StateChanged(key, state, fileLength, downloadLength);
}
