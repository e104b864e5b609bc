#include "infocenter/frmLastUpdating.h"

#include "platform/ui/Grid.h"
#include "platform/ui/Units.h"
#include "shell/basShellIni.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const QString kMinus = QStringLiteral("Minus");
const QString kPlus = QStringLiteral("Plus");
const QColor kGroupText(55, 104, 185);

QIcon glyph(const QString& key) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(90, 90, 90));
    if (key == QLatin1String("Popup")) {
        for (int y : {4, 8, 12})
            p.drawLine(3, y, 12, y);
        return QIcon(pm);
    }
    p.drawRect(3, 3, 9, 9);
    p.drawLine(5, 7, 10, 7);
    if (key == kPlus) p.drawLine(7, 5, 7, 10);
    return QIcon(pm);
}

QString itemText(const UpdateItem& u) {
    return u.Subject + QStringLiteral("\n  ") + u.Descript;
}

// An update-note file's text: a byte-order mark or the XML declaration names
// the encoding; UTF-8 otherwise.
QString decodeNoteFile(const QByteArray& bytes) {
    if (auto bom = QStringConverter::encodingForData(bytes)) return QStringDecoder(*bom).decode(bytes);
    static const QRegularExpression declared(QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._-]+)[\"']"));
    const auto m = declared.match(QString::fromLatin1(bytes.left(200)));
    if (m.hasMatch()) {
        QStringDecoder dec(m.captured(1).toLatin1().constData());
        if (dec.isValid()) return dec.decode(bytes);
    }
    return QString::fromUtf8(bytes);
}

} // namespace

frmLastUpdating::frmLastUpdating(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmLastUpdating"));
    resize(ui::units::twipsToPixels(7680), ui::units::twipsToPixels(4560));

    vsUpdating = new ui::FlexGrid(QStringLiteral("vsUpdating"), this);
    vsUpdating->setEditable(false);
    vsUpdating->setMouseTracking(true);
    vsUpdating->setShowGrid(true);
    vsUpdating->setSelectionMode(1);
    vsUpdating->setWordWrap(true);
    vsUpdating->setStyleSheet(
        QStringLiteral("QTableWidget { background: white; }"
                       "QTableWidget::item:selected:active { background: rgb(49,106,197);"
                       " color: white; }"));
    vsUpdating->installEventFilter(this);
    vsUpdating->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 4, 3, 4);
    layout->addWidget(vsUpdating);

    mnuPop = new QMenu(this);
    mnuPop->setObjectName(QStringLiteral("mnuPop"));
    auto add = [this](const char* name, const QString& caption, bool checkable) {
        QAction* a = mnuPop->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(checkable);
        return a;
    };
    mnuDisplayByGroup = add("mnuDisplayByGroup", QStringLiteral("分组显示"), true);
    mnuPop->addSeparator()->setObjectName(QStringLiteral("mnuPopLine1"));
    mnuDisplayByIssueID = add("mnuDisplayByIssueID", QStringLiteral("发布时间分组"), true);
    mnuDisplayByCatalog = add("mnuDisplayByCatalog", QStringLiteral("更新分类分组"), true);
    mnuPop->addSeparator()->setObjectName(QStringLiteral("mnuPopLine2"));
    mnuFontZoomIn = add("mnuFontZoomIn", QStringLiteral("放大文本                ＋"), false);
    mnuFontZoomOut = add("mnuFontZoomOut", QStringLiteral("缩小文本                －"), false);
    mnuPop->addSeparator()->setObjectName(QStringLiteral("mnuPopLine3"));
    mnnViewInExplorer = add("mnnViewInExplorer", QStringLiteral("在浏览器中查看    F5"), false);
    // A click flips a check mark before the handler runs; the handlers set
    // the marks themselves.
    connect(mnuDisplayByGroup, &QAction::triggered, this, [this] {
        mnuDisplayByGroup->setChecked(!mnuDisplayByGroup->isChecked());
        mnuDisplayByGroup_Click();
    });
    connect(mnuDisplayByIssueID, &QAction::triggered, this, [this] {
        mnuDisplayByIssueID->setChecked(!mnuDisplayByIssueID->isChecked());
        mnuDisplayByIssueID_Click();
    });
    connect(mnuDisplayByCatalog, &QAction::triggered, this, [this] {
        mnuDisplayByCatalog->setChecked(!mnuDisplayByCatalog->isChecked());
        mnuDisplayByCatalog_Click();
    });
    connect(mnuFontZoomIn, &QAction::triggered, this, &frmLastUpdating::mnuFontZoomIn_Click);
    connect(mnuFontZoomOut, &QAction::triggered, this, &frmLastUpdating::mnuFontZoomOut_Click);
    connect(mnnViewInExplorer, &QAction::triggered, this, &frmLastUpdating::mnnViewInExplorer_Click);

    QHeaderView* heading = vsUpdating->horizontalHeader();
    heading->setSectionsClickable(true);
    heading->setSectionsMovable(true);
    connect(heading, &QHeaderView::sectionClicked, this, &frmLastUpdating::vsUpdating_HeadingClick);
    connect(heading, &QHeaderView::sectionMoved, this,
            [this, heading](int logical, int oldVisual, int newVisual) {
                // The picture column stays first.
                if (movingBack_ || (logical != 0 && newVisual != 0)) return;
                movingBack_ = true;
                heading->moveSection(newVisual, oldVisual);
                movingBack_ = false;
            });
    connect(vsUpdating, &QTableWidget::cellClicked, this,
            [this](int row, int) { mnnViewInExplorer->setEnabled(!blnIsGroupRow(row)); });
    connect(vsUpdating, &QTableWidget::cellDoubleClicked, this, [this](int row, int col) {
        if (col != 0 && blnIsGroupRow(row)) toggleGroup(row);
    });
    connect(vsUpdating, &QTableWidget::cellPressed, this, [this](int row, int col) {
        if (col == 0 && pressedButton_ == Qt::LeftButton && blnIsGroupRow(row)) toggleGroup(row);
    });
    connect(vsUpdating, &QTableWidget::cellEntered, this, [this](int row, int) {
        const Qt::CursorShape shape = blnIsGroupRow(row) ? Qt::PointingHandCursor : Qt::ArrowCursor;
        if (vsUpdating->viewport()->cursor().shape() != shape) vsUpdating->viewport()->setCursor(shape);
    });
}

void frmLastUpdating::Form_Load() {
    setWindowTitle(strProgramTitle() + QStringLiteral(" - 最新更新"));
    m_Updatings.clear();
    LoadUpdatings(m_LoadPath, m_Signature);
    m_DisplayMode = 0;
    mnuDisplayByIssueID->setChecked(true);
    mnuDisplayByCatalog->setChecked(false);
    mnuDisplayByGroup->setChecked(true);
    mnuDisplayByIssueID->setEnabled(true);
    mnuDisplayByCatalog->setEnabled(true);
    subShowByIssueTime();
}

bool frmLastUpdating::LoadUpdatings(QString& folder, const QString& strSignature) {
    UpdatingReader reader;
    const bool ok = reader.LoadUpdatings(folder, strSignature, m_Updatings);
    m_Signature = strSignature;
    return ok;
}

// ---------------------------------------------------------------- views

void frmLastUpdating::subInitGrid(const QStringList& headings) {
    vsUpdating->setRedraw(false);
    fontSize_ = 9.0;
    subApplyFont();
    vsUpdating->clearSpans();
    vsUpdating->setRows(0);
    vsUpdating->setCols(headings.size() + 2);
    vsUpdating->setFixedRows(1);
    vsUpdating->setFixedCols(0);
    vsUpdating->setRows(1);
    for (int c = 0; c < headings.size(); ++c)
        vsUpdating->setTextMatrix(0, c + 1, headings.at(c));
    QHeaderView* heading = vsUpdating->horizontalHeader();
    for (int v = 0; v < heading->count(); ++v) // undo columns dragged in an earlier view
        if (heading->logicalIndex(v) != v) heading->moveSection(heading->visualIndex(v), v);
    heading->setSortIndicatorShown(false);
    if (QTableWidgetItem* h = vsUpdating->horizontalHeaderItem(0)) h->setIcon(glyph(QStringLiteral("Popup")));
    for (int c = 0; c < vsUpdating->cols(); ++c)
        vsUpdating->setColHidden(c, c == vsUpdating->cols() - 1);
    vsUpdating->setColWidth(0, m_DisplayMode == 2 ? 300 : 270);
    heading->setFixedHeight(ui::units::twipsToPixels(350));
    sortCol_ = -1;
    vsUpdating->setRedraw(true);
}

void frmLastUpdating::subShowByIssueTime() {
    subShowGroups(false);
}

void frmLastUpdating::subShowByCatalog() {
    subShowGroups(true);
}

void frmLastUpdating::subShowGroups(bool byCatalog) {
    subInitGrid(
        {QStringLiteral("内容"), QStringLiteral("分类"), QStringLiteral("时间"), QStringLiteral("级别")});
    for (const UpdateGroup& g : groupUpdatings(m_Updatings, byCatalog)) {
        const int header = lngAddGroupRow(g.Key);
        // Each item goes directly below its header: the one read last ends on top.
        for (auto it = g.Items.crbegin(); it != g.Items.crend(); ++it)
            lngAddGroupItemRow(m_Updatings.at(*it), header);
    }
    subLayout();
}

void frmLastUpdating::subShowList() {
    subInitGrid({QStringLiteral("发布"), QStringLiteral("内容"), QStringLiteral("分类"),
                 QStringLiteral("时间"), QStringLiteral("级别")});
    for (const UpdateItem& u : std::as_const(m_Updatings))
        lngAddListRow(u);
    subLayout();
}

int frmLastUpdating::lngAddGroupRow(const QString& key) {
    const int row = vsUpdating->rows();
    vsUpdating->setRows(row + 1);
    vsUpdating->setRowData(row, kMinus);
    vsUpdating->item(row, 0)->setIcon(glyph(kMinus));
    for (int c = 1; c <= 4; ++c)
        vsUpdating->setTextMatrix(row, c, key);
    vsUpdating->setSpan(row, 1, 1, 4);
    QTableWidgetItem* text = vsUpdating->item(row, 1);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    text->setForeground(kGroupText);
    text->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    vsUpdating->setRowHeight(row, 450);
    return row;
}

void frmLastUpdating::lngAddGroupItemRow(const UpdateItem& u, int headerRow) {
    if (!blnIsGroupRow(headerRow)) return;
    const int row = headerRow + 1;
    vsUpdating->insertRow(row);
    const QString cells[] = {QString(), itemText(u), u.Catalog, u.Date, u.Level, u.FilePath};
    for (int c = 0; c < 6; ++c)
        vsUpdating->setTextMatrix(row, c, cells[c]);
    for (int c = 1; c <= 4; ++c)
        vsUpdating->item(row, c)->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    vsUpdating->setRowHidden(row, !blnIsGroupExpanded(headerRow));
}

void frmLastUpdating::lngAddListRow(const UpdateItem& u) {
    const int row = vsUpdating->rows();
    vsUpdating->setRows(row + 1);
    const QString cells[] = {QString(), u.ReleaseTime, itemText(u), u.Catalog, u.Date, u.Level, u.FilePath};
    for (int c = 0; c < 7; ++c)
        vsUpdating->setTextMatrix(row, c, cells[c]);
    for (int c = 1; c <= 5; ++c)
        vsUpdating->item(row, c)->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void frmLastUpdating::subLayout() {
    const bool list = m_DisplayMode == 2;
    const int wide = list ? 2 : 1;
    const QList<int> fitted = list ? QList<int>{1, 3, 4, 5} : QList<int>{2, 3, 4};
    for (int c : fitted)
        vsUpdating->resizeColumnToContents(c);
    int used = vsUpdating->colWidth(0);
    for (int c : fitted)
        used += vsUpdating->colWidth(c);
    const int grid = ui::units::pixelsToTwips(vsUpdating->viewport()->width());
    vsUpdating->setColWidth(wide, qMax(600, grid - used - 80));
    vsUpdating->resizeRowsToContents();
    vsUpdating->horizontalHeader()->setFixedHeight(ui::units::twipsToPixels(350));
    if (!list)
        for (int r = 1; r < vsUpdating->rows(); ++r)
            if (blnIsGroupRow(r)) vsUpdating->setRowHeight(r, 350);
}

void frmLastUpdating::subApplyFont() {
    QFont f = vsUpdating->font();
    f.setPointSizeF(fontSize_);
    vsUpdating->setFont(f);
}

void frmLastUpdating::closeEvent(QCloseEvent* event) {
    m_Updatings.clear();
    QDialog::closeEvent(event);
}

// ---------------------------------------------------------------- groups

bool frmLastUpdating::blnIsGroupRow(int row) const {
    if (row < 1 || row >= vsUpdating->rows()) return false;
    const QString mark = vsUpdating->rowData(row).toString();
    return mark == kMinus || mark == kPlus;
}

bool frmLastUpdating::blnIsGroupExpanded(int row) const {
    return blnIsGroupRow(row) && vsUpdating->rowData(row).toString() == kMinus;
}

void frmLastUpdating::subSetGroupExpanded(int row, bool expanded) {
    if (!blnIsGroupRow(row)) return;
    vsUpdating->setRowData(row, expanded ? kMinus : kPlus);
    vsUpdating->item(row, 0)->setIcon(glyph(expanded ? kMinus : kPlus));
    for (int r = row + 1; r < vsUpdating->rows() && !blnIsGroupRow(r); ++r)
        vsUpdating->setRowHidden(r, !expanded);
}

void frmLastUpdating::toggleGroup(int row) {
    subSetGroupExpanded(row, !blnIsGroupExpanded(row));
}

void frmLastUpdating::vsUpdating_HeadingClick(int col) {
    if (col == 0) {
        mnuPop->popup(QCursor::pos());
        return;
    }
    if (m_DisplayMode != 2) return;
    sortAscending_ = sortCol_ == col ? !sortAscending_ : true;
    sortCol_ = col;
    vsUpdating->sort(col, sortAscending_);
    vsUpdating->horizontalHeader()->setSortIndicator(col, sortAscending_ ? Qt::AscendingOrder
                                                                         : Qt::DescendingOrder);
    vsUpdating->horizontalHeader()->setSortIndicatorShown(true);
}

// ---------------------------------------------------------------- menu

void frmLastUpdating::mnuDisplayByIssueID_Click() {
    if (mnuDisplayByIssueID->isChecked()) return;
    mnuDisplayByCatalog->setChecked(false);
    mnuDisplayByIssueID->setChecked(true);
    m_DisplayMode = 0;
    subShowByIssueTime();
}

void frmLastUpdating::mnuDisplayByCatalog_Click() {
    if (mnuDisplayByCatalog->isChecked()) return;
    mnuDisplayByIssueID->setChecked(false);
    mnuDisplayByCatalog->setChecked(true);
    m_DisplayMode = 1;
    subShowByCatalog();
}

void frmLastUpdating::mnuDisplayByGroup_Click() {
    const bool grouped = !mnuDisplayByGroup->isChecked();
    mnuDisplayByGroup->setChecked(grouped);
    mnuDisplayByIssueID->setEnabled(grouped);
    mnuDisplayByCatalog->setEnabled(grouped);
    if (!grouped) {
        m_DisplayMode = 2;
        subShowList();
    } else if (mnuDisplayByIssueID->isChecked()) {
        m_DisplayMode = 0;
        subShowByIssueTime();
    } else {
        m_DisplayMode = 1;
        subShowByCatalog();
    }
}

void frmLastUpdating::mnuFontZoomIn_Click() {
    if (fontSize_ >= 15) return;
    fontSize_ += 0.5;
    subApplyFont();
    subLayout();
}

void frmLastUpdating::mnuFontZoomOut_Click() {
    if (fontSize_ <= 8) return;
    fontSize_ -= 0.5;
    subApplyFont();
    subLayout();
}

void frmLastUpdating::mnnViewInExplorer_Click() {
    const int row = vsUpdating->row();
    if (row < 1 || row >= vsUpdating->rows() || blnIsGroupRow(row)) return;
    const int last = vsUpdating->cols() - 1;
    vsUpdating->setCol(last);
    const QString path = vsUpdating->textMatrix(row, last);
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) return;
    auto* view = new QTextBrowser(this);
    view->setWindowFlag(Qt::Window, true);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setObjectName(QStringLiteral("txtUpdateFile"));
    view->setWindowTitle(path);
    view->setReadOnly(true);
    view->setOpenLinks(false);
    view->setPlainText(decodeNoteFile(f.readAll()));
    view->resize(600, 420);
    view->show();
    viewer_ = view;
}

bool frmLastUpdating::eventFilter(QObject* watched, QEvent* event) {
    // The columns share the grid's own width, known only once it is laid out.
    if (watched == vsUpdating->viewport() && event->type() == QEvent::Resize && vsUpdating->rows() > 0)
        subLayout();
    if (watched == vsUpdating->viewport() && event->type() == QEvent::MouseButtonPress)
        pressedButton_ = static_cast<QMouseEvent*>(event)->button();
    if (watched == vsUpdating && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5) {
            mnnViewInExplorer_Click();
            return true;
        }
        if (key->text() == QLatin1String("+")) {
            mnuFontZoomIn_Click();
            return true;
        }
        if (key->text() == QLatin1String("-")) {
            mnuFontZoomOut_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
