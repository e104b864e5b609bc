#include "reader/frmRedrSearch.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basLTFunc.h"
#include "common/basMsg.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"
#include "reader/ReaderContext.h"
#include "reader/basLTMore.h"
#include "reader/basRedrSearch.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

QPointer<frmRedrSearch> frmRedrSearch::instance_;

namespace {

struct ResultColumn {
    const char* heading;
    double width;
};

const ResultColumn kResultColumns[] = {
    {"已注销", 6}, {"条码号", 15},  {"有效证件号", 15}, {"姓名", 8},      {"身份证号", 15}, {"单位", 15},
    {"职业", 10},  {"读者类型", 8}, {"年级组", 6},      {"办证日期", 10}, {"经手人", 6},    {"证件状态", 8}};

// Caption of criteria row 1 to 9: reader field n, or card field 0 for row 2.
QString criterionCaption(int row) {
    static const int kReaderField[] = {0, 0, -1, 4, 3, 1, 21, 7, 8, 29};
    return row == 2 ? g_strCertCaption[0] : g_strRedrCaption[kReaderField[row]];
}

// Whether a criteria list ends with "[不定]" (any).
enum class AnyEntry { None, Always, WhenFilled };

// The list rows of the criteria: the names of a cache column, one text
// separated by tabs, with "[不定]" last as `any` says.
QString listText(const DBResultSet& cache, int col, AnyEntry any) {
    QStringList items;
    for (int r = 0; r < cache.rowCount(); ++r)
        items << cache.text(r, col);
    if (any == AnyEntry::Always || (any == AnyEntry::WhenFilled && !items.isEmpty()))
        items << QStringLiteral("[不定]");
    return items.join(QLatin1Char('\t'));
}

} // namespace

frmRedrSearch* frmRedrSearch::form(QWidget* parent) {
    if (!instance_) instance_ = new frmRedrSearch(parent);
    return instance_;
}

bool frmRedrSearch::exists() {
    return !instance_.isNull();
}

void frmRedrSearch::unload() {
    frmRedrSearch* f = instance_.data();
    instance_ = nullptr;
    g_intRedrSearchOn = 0;
    if (f) {
        f->m_blnIfSelect = false;
        f->hide();
        f->deleteLater();
    }
}

frmRedrSearch::frmRedrSearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRedrSearch"));
    setWindowTitle(QStringLiteral("读者通用查询"));
    setModal(true);
    resize(1040, 700);

    auto* fraSel = new QGroupBox(QStringLiteral("查询选项"), this);
    fraSel->setObjectName(QStringLiteral("fraSel"));
    auto* selLayout = new QVBoxLayout(fraSel);
    const char* const options[] = {"组配查询", "条码号区间", "证件号区间", "失效时间区间", "注册时间区间"};
    for (int i = 0; i < 5; ++i) {
        optSel[i] = new QRadioButton(QString::fromUtf8(options[i]), fraSel);
        optSel[i]->setObjectName(QStringLiteral("optSel_%1").arg(i));
        selLayout->addWidget(optSel[i]);
        connect(optSel[i], &QRadioButton::clicked, this, [this, i] { optSel_Click(i); });
    }

    fraSearch = new QGroupBox(QStringLiteral("检索"), this);
    fraSearch->setObjectName(QStringLiteral("fraSearch"));
    optAllMatch = new QRadioButton(QStringLiteral("完全匹配"), fraSearch);
    optAllMatch->setObjectName(QStringLiteral("optAllMatch"));
    optFrontMatch = new QRadioButton(QStringLiteral("前方匹配"), fraSearch);
    optFrontMatch->setObjectName(QStringLiteral("optFrontMatch"));
    auto* matchLayout = new QHBoxLayout(fraSearch);
    matchLayout->addWidget(optAllMatch);
    matchLayout->addWidget(optFrontMatch);
    connect(optAllMatch, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_intQueryOption = 1;
    });
    connect(optFrontMatch, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_intQueryOption = 0;
    });

    spdRedrQuery = new ui::SpreadGrid(QStringLiteral("spdRedrQuery"), this);
    spdRedrQuery->setMaxCols(1);
    spdRedrQuery->setMaxRows(9);
    spdRedrQuery->horizontalHeader()->setStretchLastSection(true);
    spdRedrQuery->setMinimumWidth(300);
    spdRedrQuery->setMinimumHeight(320);
    spdRedrQuery->installEventFilter(this);

    lblFrom = new QLabel(QStringLiteral("起 始："), this);
    lblFrom->setObjectName(QStringLiteral("lblFrom"));
    lblTo = new QLabel(QStringLiteral("截 至："), this);
    lblTo->setObjectName(QStringLiteral("lblTo"));
    auto box = [this](const char* name, bool date) {
        auto* b = new ui::NumberBox(QString::fromLatin1(name), this);
        b->setKind(ui::NumberBox::Kind::Text);
        if (date) b->setMask(QStringLiteral("####-##-##"));
        return b;
    };
    txtFrom = box("txtFrom", false);
    txtTo = box("txtTo", false);
    txtFromDate = box("txtFromDate", true);
    txtToDate = box("txtToDate", true);

    cmdQuery = new QPushButton(QStringLiteral("查询 (&Q)"), this);
    cmdQuery->setObjectName(QStringLiteral("cmdQuery"));
    spdQueryResult = new ui::SpreadGrid(QStringLiteral("spdQueryResult"), this);
    spdQueryResult->setOperationMode(4);
    auto* label1 = new QLabel(QStringLiteral("共命中读者"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    lblQueryResult = new QLabel(QStringLiteral("0"), this);
    lblQueryResult->setObjectName(QStringLiteral("lblQueryResult"));
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdSelectAll = button("cmdSelectAll", "全选(&A)");
    cmdResultCancel = button("cmdResultCancel", "全不选(&N)");
    cmdOK = button("cmdOK", "确定(&O)");
    cmdExit = button("cmdExit", "取消(&C)");
    cmdQuery->setAutoDefault(false);

    auto* range = new QGridLayout;
    range->addWidget(lblFrom, 0, 0);
    range->addWidget(txtFrom, 0, 1);
    range->addWidget(txtFromDate, 0, 1);
    range->addWidget(lblTo, 1, 0);
    range->addWidget(txtTo, 1, 1);
    range->addWidget(txtToDate, 1, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(fraSel);
    left->addWidget(fraSearch);
    left->addWidget(spdRedrQuery, 1);
    left->addLayout(range);
    left->addWidget(cmdQuery);
    auto* count = new QHBoxLayout;
    count->addWidget(label1);
    count->addWidget(lblQueryResult);
    count->addStretch();
    for (QPushButton* b : {cmdSelectAll, cmdResultCancel, cmdOK, cmdExit})
        count->addWidget(b);
    auto* right = new QVBoxLayout;
    right->addWidget(spdQueryResult, 1);
    right->addLayout(count);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(right, 1);

    connect(cmdQuery, &QPushButton::clicked, this, &frmRedrSearch::cmdQuery_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmRedrSearch::cmdOK_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmRedrSearch::cmdExit_Click);
    connect(cmdSelectAll, &QPushButton::clicked, this, &frmRedrSearch::cmdSelectAll_Click);
    connect(cmdResultCancel, &QPushButton::clicked, this, &frmRedrSearch::cmdResultCancel_Click);
    connect(spdQueryResult, &ui::SpreadGrid::cellClick, this, [this](int, int row) {
        if (row >= 1) spdQueryResult_Click(row);
    });
    // Scrolled to the end of the listed readers, or their last row reached:
    // the next page of them.
    connect(spdQueryResult->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value > 0 && value == spdQueryResult->verticalScrollBar()->maximum()) subReadResultPage();
    });
    connect(spdQueryResult, &ui::SpreadGrid::leaveCell, this, [this](int, int row, int, int newRow) {
        if (newRow > 0 && newRow != row && newRow == spdQueryResult->maxRows()) subReadResultPage();
    });
    connect(spdRedrQuery, &ui::SpreadGrid::cellChange, this, [this] { spdRedrQuery_Change(); });
    connect(spdRedrQuery, &ui::SpreadGrid::keyUp, this, [this] { subCheckQueryEnabled(false); });
    // Enter that ends the editing of a criterion runs the search too.
    connect(spdRedrQuery->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::SubmitModelCache)
                    QMetaObject::invokeMethod(this, &frmRedrSearch::cmdQuery_Click, Qt::QueuedConnection);
            });
    // The criteria grid, its cell editors included, loses the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        auto inside = [this](QWidget* w) {
            return w && (w == spdRedrQuery || spdRedrQuery->isAncestorOf(w));
        };
        if (inside(old) && !inside(now)) spdRedrQuery_LostFocus();
    });
}

void frmRedrSearch::showModal() {
    if (!m_loaded) Form_Load();
    if (!instance_ || instance_.data() != this) return; // unloaded while loading (a failed fill)
    m_unloadAfterShow = false;
    ui::DialogService::current().execDialog(this);
    if (m_unloadAfterShow) unload();
}

void frmRedrSearch::Form_Load() {
    m_loaded = true;
    g_intRedrSearchOn = 1;
    // No transaction: the dialog only reads.
    spdRedrQuery->setRedraw(false);
    spdRedrQuery->setText(1, 0, QStringLiteral("检 索 条 件"));
    for (int row = 1; row <= 9; ++row)
        spdRedrQuery->setText(0, row, criterionCaption(row));
    spdRedrQuery->setRedraw(true);
    optSel[0]->setChecked(true);
    optSel_Click(0);
    optFrontMatch->setChecked(true);
    m_intQueryOption = 0;

    // The reader types always end with "[不定]"; the departments only when
    // there are any.
    spdRedrQuery->setComboCell(1, 5, listText(g_varRedrType, redrtype::Name, AnyEntry::Always), false, -1);
    spdRedrQuery->setComboCell(1, 6, listText(g_varItemList11, 0, AnyEntry::None), true, -1);
    spdRedrQuery->setComboCell(1, 7, listText(g_varItemList15, 0, AnyEntry::None), true, -1);
    spdRedrQuery->setComboCell(1, 9, listText(g_varDepartment, 1, AnyEntry::WhenFilled), false, -1);
    for (int row : {6, 7})
        spdRedrQuery->setText(1, row, QString());

    static const int kPresetRow[] = {2, 1, 4, 3};
    if (!txtCbo.isEmpty() && idxCbo >= 0 && idxCbo <= 3) spdRedrQuery->setText(1, kPresetRow[idxCbo], txtCbo);
    subCheckQueryEnabled(true);
    subInitSpd();
    m_blnIfSelect = false;
    subEnableResultButtons(false);
    if (cmdQuery->isEnabled()) {
        cmdQuery_Click();
        g_intAutoQuery = 0;
    }
    g_intRedrSearchOn = 1;
}

void frmRedrSearch::subInitSpd() {
    lblQueryResult->setText(QStringLiteral("0"));
    spdQueryResult->setRedraw(false);
    spdQueryResult->setMaxRows(0);
    spdQueryResult->setMaxCols(12);
    spdQueryResult->setCellType(1, -1, ui::CellType::CheckBox);
    for (int c = 1; c <= 12; ++c) {
        spdQueryResult->setText(c, 0, QString::fromUtf8(kResultColumns[c - 1].heading));
        spdQueryResult->setColWidth(c, kResultColumns[c - 1].width);
    }
    spdQueryResult->setRedraw(true);
}

void frmRedrSearch::subEnableResultButtons(bool enabled) {
    cmdOK->setEnabled(enabled);
    cmdResultCancel->setEnabled(enabled);
    cmdSelectAll->setEnabled(enabled);
}

void frmRedrSearch::subCheckQueryEnabled(bool trim) {
    bool any = false;
    for (int row = 1; row <= 9 && !any; ++row) {
        const QString text = spdRedrQuery->getText(1, row);
        if (trim && spdRedrQuery->cellType(1, row) == ui::CellType::Edit && text != text.trimmed())
            spdRedrQuery->setText(1, row, text.trimmed());
        any = !text.trimmed().isEmpty();
    }
    cmdQuery->setEnabled(any);
}

void frmRedrSearch::optSel_Click(int index) {
    const bool combined = index == 0;
    const bool dates = index >= 3;
    fraSearch->setEnabled(combined);
    spdRedrQuery->setEnabled(combined);
    lblFrom->setEnabled(!combined);
    lblTo->setEnabled(!combined);
    txtFrom->setEnabled(!combined && !dates);
    txtTo->setEnabled(!combined && !dates);
    txtFromDate->setEnabled(!combined && dates);
    txtToDate->setEnabled(!combined && dates);
    txtFrom->setVisible(!dates);
    txtTo->setVisible(!dates);
    txtFromDate->setVisible(dates);
    txtToDate->setVisible(dates);
    if (!combined) cmdQuery->setEnabled(true);
}

void frmRedrSearch::cmdQuery_Click() {
    ui::BusyCursor busy;
    RedrSearchInput in;
    for (int i = 0; i < 5; ++i)
        if (optSel[i]->isChecked()) in.option = i;
    in.matchMode = m_intQueryOption;
    for (int row = 1; row <= 9; ++row)
        in.cells[row] = spdRedrQuery->getText(1, row);
    in.typeIndex = spdRedrQuery->comboIndex(1, 5);
    in.depIndex = spdRedrQuery->comboIndex(1, 9);
    in.from = txtFrom->text();
    in.to = txtTo->text();
    in.fromDate = txtFromDate->text();
    in.toDate = txtToDate->text();
    QString sql, message, fromDate, toDate;
    if (intBuildRedrSearch(in, &sql, &message, &fromDate, &toDate) < 0) {
        intShowMsg(message);
        return;
    }
    if (in.option >= 3) {
        txtFromDate->setText(fromDate);
        txtToDate->setText(toDate);
    }
    // The first page at once, with the number of readers found; the rest as
    // the worker scrolls down to them.
    g_strSQL = sql;
    if (m_pages.start(sql) != 0) {
        intShowDBError();
        return;
    }
    m_varRedrInfo = m_pages.page();
    subEnableResultButtons(true);
    intFillQueryResult();
}

void frmRedrSearch::intFillQueryResult() {
    const QVector<int> first = arrFirstCardRows(m_varRedrInfo);
    if (first.isEmpty()) {
        spdQueryResult->setMaxRows(0);
        spdQueryResult->setEnabled(false);
        lblQueryResult->setText(QStringLiteral("0"));
        subEnableResultButtons(false);
        return;
    }
    spdQueryResult->setRedraw(false);
    spdQueryResult->setMaxRows(0);
    spdQueryResult->setEnabled(true);
    subAddResultRows();
    spdQueryResult->setRedraw(true);
    lblQueryResult->setText(QString::number(m_pages.total()));
    cmdOK->setEnabled(false);
    cmdResultCancel->setEnabled(false);
}

void frmRedrSearch::subAddResultRows() {
    const QVector<int> first = arrFirstCardRows(m_varRedrInfo);
    const int at = spdQueryResult->maxRows();
    spdQueryResult->setMaxRows(at + int(first.size()));
    for (int i = 0; i < first.size(); ++i) {
        const int r = first[i];
        const int row = at + i + 1;
        spdQueryResult->setText(1, row,
                                m_varRedrInfo.text(r, 0) == QLatin1String("0") ? QStringLiteral("1")
                                                                               : QStringLiteral("0"));
        for (int c = 2; c <= 11; ++c)
            spdQueryResult->setText(c, row, m_varRedrInfo.text(r, c - 1));
        spdQueryResult->setText(12, row, strCertStateText(m_varRedrInfo.text(r, 11)));
    }
}

void frmRedrSearch::subReadResultPage() {
    if (m_readingPage || m_pages.complete()) return;
    m_readingPage = true;
    const int added = m_pages.next();
    if (added < 0) {
        intShowDBError();
    } else if (added > 0) {
        m_varRedrInfo = m_pages.page();
        spdQueryResult->setRedraw(false);
        subAddResultRows();
        spdQueryResult->setRedraw(true);
    }
    m_readingPage = false;
}

void frmRedrSearch::spdQueryResult_Click(int row) {
    // The clicked row keeps the state the click gave it; every other row is
    // deselected.
    const bool selected = spdQueryResult->isRowSelected(row);
    spdQueryResult->clearSelection();
    spdQueryResult->setRowSelected(row, selected);
    const bool any = spdQueryResult->selectedRowCount() > 0;
    cmdOK->setEnabled(any);
    cmdResultCancel->setEnabled(any);
}

void frmRedrSearch::cmdSelectAll_Click() {
    for (int r = 1; r <= spdQueryResult->maxRows(); ++r)
        spdQueryResult->setRowSelected(r, true);
    const bool any = spdQueryResult->selectedRowCount() > 0;
    cmdOK->setEnabled(any);
    cmdResultCancel->setEnabled(any);
}

void frmRedrSearch::cmdResultCancel_Click() {
    spdQueryResult->clearSelection();
    if (spdQueryResult->maxRows() > 0) spdQueryResult->setActiveCell(0, 1);
    cmdOK->setEnabled(false);
    cmdResultCancel->setEnabled(false);
}

void frmRedrSearch::cmdOK_Click() {
    // Only a selected row is a choice: without one, OK does nothing.
    for (int r = 1; r <= spdQueryResult->maxRows(); ++r) {
        if (!spdQueryResult->isRowSelected(r)) continue;
        m_strCertFlag = strCertFlagOfText(spdQueryResult->getText(12, r));
        m_strRedrID = spdQueryResult->getText(3, r);
        m_strRedrBarcode = spdQueryResult->getText(2, r);
        m_blnIfSelect = true;
        accept();
        return;
    }
    cmdOK->setEnabled(false);
}

void frmRedrSearch::cmdExit_Click() {
    m_blnIfSelect = false;
    reject();
}

void frmRedrSearch::spdRedrQuery_Change() {
    subCheckQueryEnabled(true);
}

void frmRedrSearch::spdRedrQuery_LostFocus() {
    for (int row : {1, 2, 3, 4, 6, 7}) {
        const QString text = spdRedrQuery->getText(1, row);
        const QString fixed = text.trimmed().toUpper();
        if (fixed != text) spdRedrQuery->setText(1, row, fixed);
    }
}

bool frmRedrSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == spdRedrQuery) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // While a cell is being edited its Enter first ends the editing,
            // which then runs the search (see closeEditor).
            const auto* editor =
                spdRedrQuery->viewport()->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
            const bool editing = editor && editor->isVisibleTo(spdRedrQuery);
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !editing) {
                cmdQuery_Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmRedrSearch::closeEvent(QCloseEvent* event) {
    m_blnIfSelect = false;
    m_unloadAfterShow = true;
    QDialog::closeEvent(event);
}
