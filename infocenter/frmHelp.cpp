#include "infocenter/frmHelp.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basFile.h"
#include "infocenter/LocalBrowser.h"
#include "infocenter/basInfoServers.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Units.h"

#include <QApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

using ui::units::pixelsToTwips;
using ui::units::twipsToPixels;

constexpr int kHeadHeight = 300;
constexpr int kSplitterWidth = 60;

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(qMax(0, width)),
                   twipsToPixels(qMax(0, height)));
}

// The number a name carries from its sixth character on (leading digits; 0
// when there are none).
int depthOf(const QString& name) {
    const QString rest = name.mid(5);
    int n = 0;
    for (QChar ch : rest) {
        if (!ch.isDigit() || ch.unicode() > '9') break;
        n = n * 10 + (ch.unicode() - '0');
        if (n > 1000) break;
    }
    return n;
}

QIcon imageOf(const QString& key) {
    QStyle* s = QApplication::style();
    if (key == QLatin1String("ListOpen")) return s->standardIcon(QStyle::SP_DirOpenIcon);
    if (key == QLatin1String("Index")) return s->standardIcon(QStyle::SP_FileIcon);
    return s->standardIcon(QStyle::SP_DirClosedIcon);
}

void setImage(QTreeWidgetItem* n, const QString& key) {
    n->setData(0, frmHelp::ImageRole, key);
    n->setIcon(0, imageOf(key));
}

} // namespace

frmHelp::frmHelp(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setMinimumWidth(twipsToPixels(3000));
    resize(twipsToPixels(10500), twipsToPixels(7200));

    tbStandard = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbStandard"), this);
    ui::CommandMenu* bar = tbStandard->addMenu(QStringLiteral("Standard"), QStringLiteral("工具栏"));
    const struct {
        const char* key;
        const char* tip;
        bool check;
    } buttons[] = {{"Prev", "历史记录回退", false}, {"Next", "历史记录前进", false},
                   {"Cata", "目录", true},          {"Search", "查找", false},
                   {"Print", "打印", false},        {"Upgrade", "检查更新", false}};
    for (const auto& b : buttons)
        bar->append(tbStandard->addItem(QLatin1String(b.key), QLatin1String(b.key), QString::fromUtf8(b.tip),
                                        b.check ? ui::ItemStyle::Check : ui::ItemStyle::Command,
                                        QString::fromUtf8(b.tip)));
    tbStandard->setActiveMenu(bar);
    tbStandard->setItemChecked(QStringLiteral("Cata"), true);
    tbStandard->setItemEnabled(QStringLiteral("Prev"), false);
    tbStandard->setItemEnabled(QStringLiteral("Next"), false);
    connect(tbStandard, &ui::CommandBar::keyClicked, this, &frmHelp::tbStandard_ButtonClick);

    tbsHelp = new QTabWidget(this);
    tbsHelp->setObjectName(QStringLiteral("tbsHelp"));
    tbsHelp->addTab(new QWidget, QStringLiteral("帮助   "));
    tbsHelp->addTab(new QWidget, QStringLiteral("如何..."));

    picBack = new QWidget(this);
    picBack->setObjectName(QStringLiteral("picBack"));
    picHead = new QWidget(picBack);
    picHead->setObjectName(QStringLiteral("picHead"));
    picHead->setAutoFillBackground(true);
    auto* title = new QLabel(QStringLiteral("目录"), picHead);
    title->move(4, 2);
    imgClose = new QLabel(QStringLiteral("×"), picHead);
    imgClose->setObjectName(QStringLiteral("imgClose"));
    imgClose->setCursor(Qt::PointingHandCursor);
    imgClose->resize(twipsToPixels(240), twipsToPixels(kHeadHeight - 30));
    imgClose->installEventFilter(this);
    tvHelp = new QTreeWidget(picBack);
    tvHelp->setObjectName(QStringLiteral("tvHelp"));
    tvHelp->setHeaderHidden(true);
    imgSplitter = new QWidget(picBack);
    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->setCursor(Qt::SplitHCursor);
    imgSplitter->installEventFilter(this);
    picBrowse = new QWidget(picBack);
    picBrowse->setObjectName(QStringLiteral("picBrowse"));
    auto* browser = new LocalBrowser(picBrowse);
    browser->setRoot(g_strPath[0] + QStringLiteral("help"));
    wbHelp = browser;
    wbHelp->setObjectName(QStringLiteral("wbHelp"));
    picSplitter = new QWidget(picBack);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setStyleSheet(QStringLiteral("background: #808080;"));
    picSplitter->hide();

    connect(wbHelp, &QTextBrowser::backwardAvailable, this,
            [this](bool on) { tbStandard->setItemEnabled(QStringLiteral("Prev"), on); });
    connect(wbHelp, &QTextBrowser::forwardAvailable, this,
            [this](bool on) { tbStandard->setItemEnabled(QStringLiteral("Next"), on); });
    connect(tvHelp, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* n) { tvHelp_NodeClick(n); });
    connect(tvHelp, &QTreeWidget::itemExpanded, this, [](QTreeWidgetItem* n) {
        if (n->data(0, ImageRole).toString() == QLatin1String("List"))
            setImage(n, QStringLiteral("ListOpen"));
    });
    connect(tvHelp, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem* n) {
        if (n->data(0, ImageRole).toString() == QLatin1String("ListOpen"))
            setImage(n, QStringLiteral("List"));
    });
}

// ---------------------------------------------------------------- loading

QString frmHelp::strHelpTitle(const QString& module) {
    static const char* const captions[][2] = {
        {"bm", "编目"}, {"cf", "采访"},      {"dc", "典藏"},      {"qk", "期刊"},      {"sys", "系统管理"},
        {"tj", "统计"}, {"lt1", "流通借还"}, {"lt2", "流通管理"}, {"lt3", "流通阅览"}, {"lt4", "流通委托"},
    };
    for (const auto& c : captions)
        if (module.compare(QLatin1String(c[0]), Qt::CaseInsensitive) == 0)
            return QStringLiteral("翰澜帮助【%1】").arg(QString::fromUtf8(c[1]));
    return QStringLiteral("翰澜帮助");
}

bool frmHelp::blnIsModuleHelpFolder(const QString& name, const QString& module) {
    const QStringList parts = name.split(QLatin1Char('.'));
    return parts.size() == 3 && parts[0].compare(QLatin1String("qnhelp"), Qt::CaseInsensitive) == 0 &&
           parts[1].compare(QLatin1String("qorlan"), Qt::CaseInsensitive) == 0 &&
           parts[2].compare(module, Qt::CaseInsensitive) == 0;
}

void frmHelp::Form_Load() {
    setWindowTitle(strHelpTitle(m_strModuleID));
    subLoadHelpContents(m_strModuleID);
    const QString server = strHelpServerUrl();
    if (!server.isEmpty()) {
        const QUrl start(server + QStringLiteral("/index.php"));
        wbHelp->setHtml(
            QStringLiteral("<p><a href=\"%1\">%2</a></p>")
                .arg(start.toString(QUrl::FullyEncoded).toHtmlEscaped(), start.toString().toHtmlEscaped()));
    }
    int w = width_;
    subArrangeHelp(w);
}

void frmHelp::subLoadHelpContents(const QString& module) {
    const QString help = g_strPath[0] + QStringLiteral("help");
    QString moduleFolder;
    for (const QString& name :
         QDir(help).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        if (blnIsModuleHelpFolder(name, module)) {
            moduleFolder = help + QLatin1Char('/') + name;
            break;
        }
    }
    bool loaded = false;
    if (!moduleFolder.isEmpty()) {
        const QDir dir(moduleFolder);
        for (const QString& book :
             dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
            const QString folder = dir.filePath(book);
            const QString toc = strResolvePath(folder + QLatin1Char('/'), QStringLiteral("help_toc.xml"));
            if (QFileInfo(toc).isFile() && blnLoadHelpToc(toc, folder)) loaded = true;
        }
    }
    if (!loaded) {
        ui::BoxRequest box;
        box.icon = ui::BoxIcon::Information;
        box.title = QStringLiteral("提示");
        box.text = QStringLiteral("没有找到相关帮助文档！");
        ui::DialogService::current().showBox(box);
    }
}

bool frmHelp::blnLoadHelpToc(const QString& file, const QString& folder) {
    QFile f(file);
    QDomDocument doc;
    if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f)) return true;
    const QDomElement root = doc.documentElement();
    const QString title = root.attribute(QStringLiteral("title"));
    const QString bookKey = QStringLiteral("K") + title;
    QString error;
    if (keys_.contains(bookKey)) {
        error = QStringLiteral("帮助目录的键值重复：%1").arg(bookKey);
    } else {
        auto* book = new QTreeWidgetItem(tvHelp, {title});
        book->setData(0, KeyRole, bookKey);
        setImage(book, QStringLiteral("List"));
        keys_.insert(bookKey, book);
        QStringList parents = {bookKey};
        // Comments and other nodes that are no elements are no entries.
        for (QDomElement e = root.firstChildElement(); !e.isNull() && error.isEmpty();
             e = e.nextSiblingElement()) {
            const int d = depthOf(e.tagName());
            const QString parent = d >= 1 && d - 1 < parents.size() ? parents.at(d - 1) : QString();
            if (d < 1 || parent.isEmpty()) {
                error = QStringLiteral("帮助目录 %1 的条目 %2 没有上级条目").arg(title, e.tagName());
                break;
            }
            const QString key = strAddHelpNode(e, parent, folder);
            if (key.isNull()) {
                error = QStringLiteral("帮助目录的键值重复：T%1%2")
                            .arg(e.tagName(), e.attribute(QStringLiteral("name")));
                break;
            }
            while (parents.size() < d + 1)
                parents.append(QString());
            parents[d] = key;
        }
    }
    if (error.isEmpty()) return true;
    LIB_SetRunError(35602, error);
    intShowDBError();
    LIB_ClearRunError();
    return false;
}

// The new chapter's key, "" for a page, a null text when the key is taken.
QString frmHelp::strAddHelpNode(const QDomElement& e, const QString& parentKey, const QString& folder) {
    QTreeWidgetItem* parent = keys_.value(parentKey);
    const QString name = e.attribute(QStringLiteral("name"));
    if (e.hasAttribute(QStringLiteral("href"))) {
        auto* page = new QTreeWidgetItem(parent, {name});
        setImage(page, QStringLiteral("Index"));
        page->setData(0, TagRole, folder + QLatin1Char('/') + e.attribute(QStringLiteral("href")));
        return QStringLiteral("");
    }
    const QString key = QStringLiteral("T") + e.tagName() + name;
    if (keys_.contains(key)) return QString();
    auto* chapter = new QTreeWidgetItem(parent, {name});
    chapter->setData(0, KeyRole, key);
    setImage(chapter, QStringLiteral("List"));
    keys_.insert(key, chapter);
    return key;
}

QTreeWidgetItem* frmHelp::node(const QString& key) const {
    return keys_.value(key);
}

void frmHelp::tvHelp_NodeClick(QTreeWidgetItem* n) {
    const QString tag = n ? n->data(0, TagRole).toString() : QString();
    if (!tag.isEmpty()) wbHelp->setSource(QUrl::fromLocalFile(tag));
}

// ---------------------------------------------------------------- layout

void frmHelp::subArrangeHelp(int& w) {
    const int innerW = pixelsToTwips(width());
    const int barH = pixelsToTwips(tbStandard->sizeHint().height());
    const int innerH = pixelsToTwips(height()) - barH;
    place(tbStandard, 0, 0, innerW, barH);
    place(tbsHelp, 75, barH + 75, innerW - 150, innerH - 150);
    const int tabH = pixelsToTwips(tbsHelp->tabBar()->sizeHint().height());
    const int clientLeft = 75, clientTop = barH + 75 + tabH;
    const int clientW = innerW - 150, clientH = innerH - 150 - tabH;
    const int backW = clientW - 120, backH = clientH - 120;
    place(picBack, clientLeft + 60, clientTop + 30, backW, backH);
    picBack->raise();
    if (w < 0) w = 0;
    if (w > backW - 1500) w = qMax(0, backW - 1500);
    place(picHead, 0, 0, w, kHeadHeight);
    imgClose->move(twipsToPixels(w) - imgClose->width() - twipsToPixels(60), twipsToPixels(15));
    place(imgSplitter, w, 30, kSplitterWidth, backH);
    const int treeTop = kHeadHeight + 30;
    place(tvHelp, 0, treeTop, w, backH - kHeadHeight - 30);
    place(picBrowse, w + 30, treeTop, backW - (w + 60), backH - kHeadHeight - 30);
    place(wbHelp, -30, -30, backW - (w + 60), backH - kHeadHeight - 30);
    width_ = w;
}

int frmHelp::contentsWidth() const {
    return width_;
}

int frmHelp::splitterLeft() const {
    return width_;
}

int frmHelp::barLeft() const {
    return barLeft_;
}

int frmHelp::backWidth() const {
    return pixelsToTwips(picBack->width());
}

int frmHelp::browseLeft() const {
    return pixelsToTwips(picBrowse->x());
}

int frmHelp::browseWidth() const {
    return pixelsToTwips(picBrowse->width());
}

void frmHelp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    int w = width_;
    subArrangeHelp(w);
}

// ---------------------------------------------------------------- commands

void frmHelp::showContents(bool show) {
    picHead->setVisible(show);
    tvHelp->setVisible(show);
    imgSplitter->setVisible(show);
    int w = show ? 2500 : 0;
    subArrangeHelp(w);
    tbStandard->item(QStringLiteral("Cata"))
        ->setDescription(show ? QStringLiteral("隐藏目录") : QStringLiteral("显示目录"));
}

void frmHelp::tbStandard_ButtonClick(const QString& key) {
    if (key == QLatin1String("Prev"))
        wbHelp->backward();
    else if (key == QLatin1String("Next"))
        wbHelp->forward();
    else if (key == QLatin1String("Cata"))
        showContents(tbStandard->isItemChecked(QStringLiteral("Cata")));
    else if (key == QLatin1String("Print"))
        subPrintPage();
}

void frmHelp::imgClose_Click() {
    tbStandard->setItemChecked(QStringLiteral("Cata"), false);
    showContents(false);
}

void frmHelp::subPrintPage(QPrinter* printer) {
    if (printer) {
        wbHelp->print(printer);
        return;
    }
    QPrinter own(QPrinter::HighResolution);
    QPrintDialog dialog(&own, this);
    if (ui::DialogService::current().execDialog(&dialog) == 1) wbHelp->print(&own);
}

void frmHelp::imgSplitter_MouseDown() {
    barLeft_ = width_;
    place(picSplitter, width_, 30, kSplitterWidth / 2, pixelsToTwips(imgSplitter->height()) - 20);
    picSplitter->show();
    picSplitter->raise();
    m_blnSplitterDrag = true;
}

void frmHelp::imgSplitter_MouseMove(int xTwips) {
    if (!m_blnSplitterDrag) return;
    const int p = width_ + xTwips;
    const int right = pixelsToTwips(width()) - 500;
    barLeft_ = p < 500 ? 500 : (p > right ? right : p);
    picSplitter->move(twipsToPixels(barLeft_), picSplitter->y());
}

void frmHelp::imgSplitter_MouseUp() {
    int w = barLeft_;
    subArrangeHelp(w);
    picSplitter->hide();
    m_blnSplitterDrag = false;
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgClose && event->type() == QEvent::MouseButtonRelease) {
        imgClose_Click();
        return true;
    }
    if (watched == imgSplitter) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            imgSplitter_MouseDown();
            return true;
        case QEvent::MouseMove:
            imgSplitter_MouseMove(pixelsToTwips(int(static_cast<QMouseEvent*>(event)->position().x())));
            return true;
        case QEvent::MouseButtonRelease:
            imgSplitter_MouseUp();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
