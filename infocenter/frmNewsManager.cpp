#include "infocenter/frmNewsManager.h"

#include "common/basDB.h"
#include "common/basFile.h"
#include "infocenter/LocalBrowser.h"
#include "infocenter/cHttpDownload.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"

#include <QCloseEvent>
#include <algorithm>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QSizeGrip>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPointer<frmNewsManager> g_instance;

QIcon drawEnvelope(bool read) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(80, 80, 80));
    p.setBrush(read ? QColor(235, 235, 235) : QColor(255, 214, 90));
    p.drawRect(1, 3, 13, 10);
    p.drawLine(1, 3, 8, 9);
    p.drawLine(14, 3, 8, 9);
    return QIcon(pm);
}

QIcon envelope(bool read) {
    static const QIcon icons[2] = {drawEnvelope(false), drawEnvelope(true)};
    return icons[read ? 1 : 0];
}

// A question with OK and Cancel; true for OK.
bool askOk(const QString& title, const QString& text) {
    ui::BoxRequest box;
    box.icon = ui::BoxIcon::Question;
    box.buttons = ui::BoxButtons::OkCancel;
    box.defaultAnswer = ui::BoxAnswer::Ok;
    box.title = title;
    box.text = text;
    return ui::DialogService::current().showBox(box) == ui::BoxAnswer::Ok;
}

void reportRunError(long number, const QString& text) {
    LIB_SetRunError(number, text);
    intShowDBError();
    LIB_ClearRunError();
}

} // namespace

frmNewsManager::frmNewsManager(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmNewsManager"));
    setWindowTitle(QStringLiteral("消息管理器"));
    resize(640, 440);
    g_instance = this;

    lvTree = new QTreeWidget(this);
    lvTree->setObjectName(QStringLiteral("lvTree"));
    lvTree->setColumnCount(1);
    lvTree->setHeaderLabels({QStringLiteral("消息列表")});
    lvTree->setRootIsDecorated(false);
    lvTree->header()->setSectionsClickable(true);
    lvTree->header()->setStretchLastSection(true);

    auto* picInfo = new QWidget(this);
    picInfo->setObjectName(QStringLiteral("picInfo"));
    auto* info = new QGridLayout(picInfo);
    lblTime = new QLabel(picInfo);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblIssue = new QLabel(picInfo);
    lblIssue->setObjectName(QStringLiteral("lblIssue"));
    lblSubject = new QLabel(picInfo);
    lblSubject->setObjectName(QStringLiteral("lblSubject"));
    lblSubject->setWordWrap(true);
    const QString captions[] = {QStringLiteral("时间："), QStringLiteral("发布："), QStringLiteral("主题：")};
    QLabel* values[] = {lblTime, lblIssue, lblSubject};
    for (int i = 0; i < 3; ++i) {
        info->addWidget(new QLabel(captions[i], picInfo), i, 0, Qt::AlignTop);
        info->addWidget(values[i], i, 1);
    }
    info->setColumnStretch(1, 1);

    txtNews = new QTextEdit(this);
    txtNews->setObjectName(QStringLiteral("txtNews"));
    txtNews->setReadOnly(true);
    wbNews = new LocalBrowser(this);
    wbNews->setObjectName(QStringLiteral("wbNews"));
    picStack = new QStackedWidget(this);
    picStack->addWidget(txtNews);
    picStack->addWidget(wbNews);

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(picInfo);
    rightLayout->addWidget(picStack, 1);
    auto* split = new QSplitter(this);
    split->addWidget(lvTree);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 440});

    tbStandard = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbStandard"), this);
    ui::CommandMenu* standard = tbStandard->addMenu(QStringLiteral("Standard"), QStringLiteral("工具栏"));
    standard->append(tbStandard->addItem(QStringLiteral("Delete"), {}, QStringLiteral("删除消息")));
    standard->append(tbStandard->addItem(QStringLiteral("Check"), {}, QStringLiteral("检查更新")));
    standard->append(tbStandard->addItem(QStringLiteral("Option"), {}, QStringLiteral("消息选项")));
    tbStandard->setActiveMenu(standard);
    connect(tbStandard, &ui::CommandBar::keyClicked, this, &frmNewsManager::tbStandard_ButtonClick);

    picProcess = new QProgressBar(this);
    picProcess->setObjectName(QStringLiteral("picProcess"));
    picProcess->setRange(0, 0); // moves by itself while shown
    picProcess->setTextVisible(false);
    picProcess->setMaximumWidth(160);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(tbStandard);
    bottom->addWidget(picProcess);
    bottom->addStretch(1);
    bottom->addWidget(new QSizeGrip(this), 0, Qt::AlignBottom | Qt::AlignRight);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);

    tmReaded = new QTimer(this);
    tmReaded->setObjectName(QStringLiteral("tmReaded"));
    tmReaded->setInterval(2000);
    tmReaded->setSingleShot(true);
    connect(tmReaded, &QTimer::timeout, this, &frmNewsManager::markRead);

    connect(lvTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* it) { subShowEntry(it); });
    connect(lvTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* it) {
        if (!adding_ && it) subShowEntry(it);
    });
    connect(lvTree->header(), &QHeaderView::sectionClicked, this, [this] { lvTree_ColumnClick(); });

    // Opening.
    m_CheckNews = new cHttpDownload(this);
    m_HttpDownload = new cHttpDownload(this);
    connect(m_CheckNews, &cHttpDownload::StateChanged, this,
            [this](const QString& key, int state, int, int) { onCheckState(key, state); });
    connect(m_HttpDownload, &cHttpDownload::StateChanged, this,
            [this](const QString&, int state, int, int) { onPageState(state); });
    picProcess->hide();
    clearDetail();
    subLoadNewsList();
}

frmNewsManager::~frmNewsManager() {
    m_CheckNews->StopDownload();
    m_HttpDownload->StopDownload();
}

frmNewsManager* frmNewsManager::instance() {
    return g_instance.data();
}

bool frmNewsManager::blnReadNewsSetting() {
    NewsSetting s{m_lngCheckCycle, m_lngTimeout, m_strLastNewsTime};
    QString error;
    const bool ok = blnReadNewsSettingFile(strInfoCenterFolder() + QStringLiteral("setting.ini"), s, &error);
    m_lngCheckCycle = s.CheckCycle;
    m_lngTimeout = s.Timeout;
    m_strLastNewsTime = s.LastNewsTime;
    if (!ok) reportRunError(13, error);
    return ok;
}

void frmNewsManager::subSaveNewsSetting() {
    blnSaveNewsSettingFile(strInfoCenterFolder() + QStringLiteral("setting.ini"), m_strLastNewsTime);
}

void frmNewsManager::clearDetail() {
    lblTime->clear();
    lblIssue->clear();
    lblSubject->clear();
    txtNews->clear();
}

void frmNewsManager::subLoadNewsList() {
    m_strHeaderState = QStringLiteral("UnChecked");
    for (const NewsItem& item : listStoredNews(strNewsFolder())) {
        m_NewsItems.append(item);
        subAddNewsItem(int(m_NewsItems.size()) - 1);
    }
    showFirst();
}

void frmNewsManager::subAddNewsItem(int index) {
    subAddNewsItem(index, true);
}

void frmNewsManager::subAddNewsItem(int index, bool select) {
    const NewsItem& item = m_NewsItems.at(index);
    // Filled before it joins the list: each change of a listed entry would
    // lay the whole list out again.
    auto* e = new QTreeWidgetItem(QStringList{item.Subject});
    e->setFlags(e->flags() | Qt::ItemIsUserCheckable);
    e->setCheckState(0, Qt::Unchecked);
    e->setData(0, KeyRole, strNewsKey(item));
    entries_.insert(strNewsKey(item), e);
    e->setData(0, IndexRole, index);
    const QString icon = item.Readed ? QStringLiteral("Readed") : QStringLiteral("UnReaded");
    e->setData(0, IconKeyRole, icon);
    e->setIcon(0, envelope(item.Readed));
    lvTree->addTopLevelItem(e);
    if (!select) return;
    adding_ = true;
    lvTree->setCurrentItem(e);
    adding_ = false;
}

QTreeWidgetItem* frmNewsManager::entry(const QString& key) const {
    return entries_.value(key, nullptr);
}

void frmNewsManager::showFirst() {
    if (lvTree->topLevelItemCount() == 0) return;
    QTreeWidgetItem* first = lvTree->topLevelItem(0);
    adding_ = true;
    lvTree->setCurrentItem(first);
    adding_ = false;
    subShowEntry(first);
    lvTree->setFocus();
}

void frmNewsManager::subShowEntry(QTreeWidgetItem* e) {
    if (!e) return;
    if (e->data(0, IconKeyRole).toString() == QLatin1String("UnReaded")) tmReaded->start();
    const int index = e->data(0, IndexRole).toInt();
    if (index < 0 || index >= m_NewsItems.size()) return;
    const NewsItem& item = m_NewsItems.at(index);
    lblIssue->setText(item.IssueOrgName);
    lblTime->setText(item.IssueTime);
    lblSubject->setText(item.Subject);
    if (item.NewsType == QLatin1String("T")) {
        txtNews->setPlainText(item.Content);
        picStack->setCurrentWidget(txtNews);
    } else if (item.NewsType == QLatin1String("L")) {
        const QUrl url(item.Content.trimmed());
        static_cast<LocalBrowser*>(wbNews)->setRoot(QString());
        if (LocalBrowser::isWebAddress(url))
            wbNews->setHtml(QStringLiteral("<p><a href=\"%1\">%2</a></p>")
                                .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                     item.Content.trimmed().toHtmlEscaped()));
        else // an address no browser here opens: shown, and said so
            wbNews->setPlainText(
                item.Content + QStringLiteral("\n\n（此链接不是 http 或 https 网址，无法在浏览器中打开。）"));
        picStack->setCurrentWidget(wbNews);
    } else if (item.NewsType == QLatin1String("W")) {
        // The page shows only files of its own item folder.
        const QString folder = strNewsFolder() + item.Folder;
        const QString page = folder + QStringLiteral("/index.htm");
        static_cast<LocalBrowser*>(wbNews)->setRoot(item.Folder.isEmpty() ? QString() : folder);
        const QUrl url = QUrl::fromLocalFile(page);
        if (item.Folder.isEmpty() || !QFileInfo(page).isFile())
            wbNews->clear();
        else if (wbNews->source() == url)
            wbNews->reload(); // read again: the box may show another item's text meanwhile
        else
            wbNews->setSource(url);
        picStack->setCurrentWidget(wbNews);
    }
}

void frmNewsManager::markRead() {
    if (QTreeWidgetItem* e = lvTree->currentItem()) {
        e->setData(0, IconKeyRole, QStringLiteral("Readed"));
        e->setIcon(0, envelope(true));
    }
}

void frmNewsManager::lvTree_ColumnClick() {
    const bool tick = m_strHeaderState == QLatin1String("UnChecked");
    m_strHeaderState = tick ? QStringLiteral("Checked") : QStringLiteral("UnChecked");
    for (int i = 0; i < lvTree->topLevelItemCount(); ++i)
        lvTree->topLevelItem(i)->setCheckState(0, tick ? Qt::Checked : Qt::Unchecked);
}

void frmNewsManager::tbStandard_ButtonClick(const QString& key) {
    if (key == QLatin1String("Delete"))
        subDeleteNews();
    else if (key == QLatin1String("Check"))
        subCheckNews();
    else if (key == QLatin1String("Option"))
        ShowOption();
}

void frmNewsManager::subDeleteNews() {
    if (!askOk(QStringLiteral("删除消息"), QStringLiteral("是否确定删除您所选择的消息？"))) return;
    for (int i = lvTree->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* e = lvTree->topLevelItem(i);
        if (e->checkState(0) != Qt::Checked) continue;
        const int index = e->data(0, IndexRole).toInt();
        if (index >= 0 && index < m_NewsItems.size())
            blnDeleteNewsFolder(strNewsFolder(), m_NewsItems.at(index).Folder);
        entries_.remove(e->data(0, KeyRole).toString());
        delete e;
    }
    if (lvTree->topLevelItemCount() == 0) {
        clearDetail();
        picStack->setCurrentWidget(txtNews);
    } else {
        showFirst();
    }
}

// ---------------------------------------------------------------- channel check

void frmNewsManager::subCheckNews() {
    if (readingReplies()) return; // the last check's rows are still being listed
    m_CheckNews->Clear();
    m_CheckNews->Init();
    if (g_varNewsChannels.rowCount() == 0) {
        ui::BoxRequest box;
        box.icon = ui::BoxIcon::Warning;
        box.title = QStringLiteral("提示");
        box.text = QStringLiteral("没有设定消息频道！");
        box.beep = true;
        ui::DialogService::current().showBox(box);
        return;
    }
    const QString news = strNewsFolder();
    intMakePath(news);
    m_CheckNews->setDefaultTimeout(m_lngTimeout);
    for (int i = 0; i < g_varNewsChannels.rowCount(); ++i) {
        const QString key = g_varNewsChannels.text(i, 0);
        if (!blnIsSafeNewsId(key)) continue; // the key names the reply file
        if (!m_CheckNews->AddHttpDownload(
                key, strCheckNewsUrl(g_varNewsChannels.text(i, 2), m_strLastNewsTime),
                news + QStringLiteral("tmp") + key + QStringLiteral(".tmp"), 80, m_lngTimeout != 0, 0))
            reportRunError(m_CheckNews->lastErrorNumber(),
                           QStringLiteral("消息频道 %1：%2").arg(key, m_CheckNews->lastErrorText()));
    }
    if (m_CheckNews->DownloadListCount() == 0) return;
    subShowProcess();
    m_CheckNews->StartDownload();
}

void frmNewsManager::onCheckState(const QString&, int state) {
    if (state == 8) subReadNewsReplies();
}

void frmNewsManager::onPageState(int state) {
    if (state == 8 && !m_CheckNews->StillExecuting()) subHideProcess();
}

void frmNewsManager::subReadNewsReplies() {
    m_HttpDownload->Clear();
    pendingRows_.clear();
    pendingAt_ = 0;
    for (int i = 0; i < g_varNewsChannels.rowCount(); ++i) {
        const QString key = g_varNewsChannels.text(i, 0);
        if (!blnIsSafeNewsId(key)) continue;
        const QString reply = strNewsFolder() + QStringLiteral("tmp") + key + QStringLiteral(".tmp");
        pendingRows_ += parseNewsReply(reply);
        subKillFile(reply);
    }
    readPendingRows();
}

void frmNewsManager::readPendingRows() {
    const qsizetype end = std::min(pendingRows_.size(), pendingAt_ + kRowsPerTurn);
    const qsizetype listed = m_NewsItems.size();
    while (pendingAt_ < end)
        addReplyRow(pendingRows_.at(pendingAt_++), false);
    // The last entry added becomes the selected one, once a batch.
    if (m_NewsItems.size() > listed) {
        adding_ = true;
        lvTree->setCurrentItem(entry(strNewsKey(m_NewsItems.last())));
        adding_ = false;
    }
    if (pendingAt_ < pendingRows_.size()) {
        QPointer<frmNewsManager> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self && self->readingReplies()) self->readPendingRows();
        });
        return;
    }
    pendingRows_.clear();
    pendingAt_ = 0;
    afterReplies();
}

void frmNewsManager::afterReplies() {
    if (m_HttpDownload->DownloadListCount() > 0) {
        m_HttpDownload->Init();
        m_HttpDownload->setDefaultTimeout(m_lngTimeout);
        m_HttpDownload->StartDownload();
    } else {
        subHideProcess();
    }
}

bool frmNewsManager::blnParseNewsReply(const QString& path) {
    for (const NewsItem& row : parseNewsReply(path))
        addReplyRow(row, true);
    return true;
}

void frmNewsManager::addReplyRow(NewsItem row, bool select) {
    const QString news = strNewsFolder();
    if (!blnIsSafeNewsId(row.NewsID)) return;
    subRaiseLastNewsTime(m_strLastNewsTime, row.IssueTime);
    if (!blnSaveNewsFile(news, row)) return;
    const QString key = strNewsKey(row);
    if (QTreeWidgetItem* e = entry(key)) {
        // Known already: the stored record and its entry take the new text.
        const int index = e->data(0, IndexRole).toInt();
        m_NewsItems[index] = row;
        e->setText(0, row.Subject);
        e->setData(0, IconKeyRole, QStringLiteral("UnReaded"));
        e->setIcon(0, envelope(false));
    } else if (m_NewsItems.size() < 32767) {
        m_NewsItems.append(row);
        subAddNewsItem(int(m_NewsItems.size()) - 1, select);
    }
    if (row.NewsType == QLatin1String("W") && LocalBrowser::isWebAddress(QUrl(row.LinkUrl.trimmed()))) {
        m_HttpDownload->AddHttpDownload(row.NewsID, row.LinkUrl.trimmed(),
                                        news + row.NewsID + QStringLiteral("/index.htm"), 80, false, 0);
    }
}

void frmNewsManager::subShowProcess() {
    picProcess->show();
}

void frmNewsManager::subHideProcess() {
    picProcess->hide();
}

void frmNewsManager::closeEvent(QCloseEvent* event) {
    if (m_CheckNews->StillExecuting() || m_HttpDownload->StillExecuting()) {
        if (!askOk(QStringLiteral("提示"),
                   QStringLiteral("关闭此窗体将中止正在进行的操作，您是否确定关闭此窗口？"))) {
            event->ignore();
            return;
        }
    }
    m_CheckNews->StopDownload();
    m_HttpDownload->StopDownload();
    pendingRows_.clear();
    pendingAt_ = 0;
    m_NewsItems.clear();
    entries_.clear();
    lvTree->clear();
    event->accept();
}
