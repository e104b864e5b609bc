#include "biblio/frmMarcNoSeek.h"

#include "biblio/BookSearch.h"
#include "biblio/frmBookInfo.h"
#include "common/basDB.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcIdx.h"
#include "common/basMarcList.h"
#include "common/basMsg.h"
#include "common/basText.h"
#include "platform/ui/Grid.h"
#include "reader/ReaderContext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

int g_intMarcSeekOn = 0;

using namespace biblio;

namespace {
const QString kNoCondition = QStringLiteral("<不定>");
} // namespace

frmMarcNoSeek::frmMarcNoSeek(frmBookInfo* owner) : QDialog(owner), owner_(owner)
{
    setObjectName(QStringLiteral("frmMarcNoSeek"));
    setWindowTitle(QStringLiteral("图书检索"));
    setModal(true);
    auto* root = new QGridLayout(this);
    for (int i = 0; i < kRows; ++i) {
        cboIndex[i] = new QComboBox(this);
        cboIndex[i]->setObjectName(QStringLiteral("cboIndex%1").arg(i));
        cboOperator[i] = new QComboBox(this);
        cboOperator[i]->setObjectName(QStringLiteral("cboOperator%1").arg(i));
        txtValue[i] = new QLineEdit(this);
        txtValue[i]->setObjectName(QStringLiteral("txtValue%1").arg(i));
        txtValue[i]->setMaxLength(g_intIdxContLen > 0 ? g_intIdxContLen : 60);
        txtValue[i]->setMinimumWidth(300);
        for (const MatchOp& op : g_arrMatchOp())
            cboOperator[i]->addItem(op.caption);
        for (int g = 0; g < g_intIdxGroupCount && g < g_arrIdxGroup.size(); ++g)
            cboIndex[i]->addItem(g_arrIdxGroup[g].caption);
        cboIndex[i]->addItem(kNoCondition);
        cboOperator[i]->setEnabled(false);
        root->addWidget(cboIndex[i], i, 0);
        root->addWidget(cboOperator[i], i, 1);
        root->addWidget(txtValue[i], i, 2);
        connect(cboIndex[i], qOverload<int>(&QComboBox::activated), this, [this, i](int) { cboIndex_Click(i); });
        connect(cboOperator[i], qOverload<int>(&QComboBox::activated), this, [this](int) { cmdSearch->setEnabled(true); });
        connect(txtValue[i], &QLineEdit::textEdited, this, [this] { subValueChanged(); });
        connect(txtValue[i], &QLineEdit::returnPressed, this, &frmMarcNoSeek::cmdSearch_Click);
    }
    cmdSearch = new QPushButton(QStringLiteral("检索(&S)"), this);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdSearch, cmdOK, cmdCancel})
        b->setAutoDefault(false);
    root->addWidget(cmdSearch, 0, 3);
    root->addWidget(cmdOK, 1, 3);
    root->addWidget(cmdCancel, 2, 3);
    connect(cmdSearch, &QPushButton::clicked, this, &frmMarcNoSeek::cmdSearch_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmMarcNoSeek::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMarcNoSeek::cmdCancel_Click);

    lblTitle = new QLabel(QStringLiteral("命中记录 "), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblRecNum = new QLabel(this);
    lblRecNum->setObjectName(QStringLiteral("lblRecNum"));
    auto* count = new QHBoxLayout;
    count->addWidget(lblTitle);
    count->addWidget(lblRecNum);
    count->addStretch();
    root->addLayout(count, kRows, 0, 1, 4);

    spdBookLst = new ui::SpreadGrid(QStringLiteral("spdBookLst"), this);
    spdBookLst->setMaxCols(6);
    spdBookLst->setMaxRows(0);
    spdBookLst->setOperationMode(2);
    const char* titles[5] = {"索书号", "题名", "作者", "出版社", "ISBN"};
    const double widths[5] = {13, 25.25, 13.75, 13, 10.58};
    for (int c = 1; c <= 5; ++c) {
        spdBookLst->setText(c, 0, QString::fromUtf8(titles[c - 1]));
        spdBookLst->setColWidth(c, widths[c - 1]);
    }
    spdBookLst->setColHidden(6, true);
    subSetFont(spdBookLst);
    root->addWidget(spdBookLst, kRows + 1, 0, 1, 4);
    connect(spdBookLst->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        const int top = spdBookLst->rowAt(0) + 1;
        if (top >= 1 && top != topRow_) {
            topRow_ = top;
            subShowPage(top);
        }
        // Scrolled to the end of the listed hits: the next page of them.
        if (value > 0 && value == spdBookLst->verticalScrollBar()->maximum())
            subReadHitPage();
    });
    connect(spdBookLst, &ui::SpreadGrid::leaveCell, this, [this](int, int row, int, int newRow) {
        if (newRow > 0 && newRow != row && newRow == spdBookLst->maxRows())
            subReadHitPage();
    });
    resize(760, 520);

    // Rows start with groups 0 to 4, "前方匹配" and no value; rows beyond the
    // groups start cleared.
    for (int i = 0; i < kRows; ++i) {
        cboOperator[i]->setCurrentIndex(0);
        cboIndex[i]->setCurrentIndex(qMin(i, int(cboIndex[i]->count()) - 1));
        cboIndex_Click(i);
    }
    cmdOK->setEnabled(false);
    const QString quick = owner_->txtQuickSearch->text();
    if (!quick.trimmed().toUpper().isEmpty() && owner_->cboQuickSearch->currentIndex() >= 0) {
        cboIndex[0]->setCurrentIndex(owner_->cboQuickSearch->currentIndex());
        cboIndex_Click(0);
        cboOperator[0]->setCurrentIndex(0);
        txtValue[0]->setText(quick);
        cmdSearch->setEnabled(true);
    }
    if (cmdSearch->isEnabled() && g_intAutoQuery == 1) {
        cmdSearch_Click();
        g_intAutoQuery = 0;
    }
    g_intMarcSeekOn = 1;
    owner_->yesSel = false;
}

frmMarcNoSeek::~frmMarcNoSeek()
{
    g_intMarcSeekOn = 0;
}

void frmMarcNoSeek::cboIndex_Click(int row)
{
    QComboBox* box = cboIndex[row];
    if (box->currentIndex() < 0)
        return;
    if (box->currentIndex() == box->count() - 1) {
        box->setCurrentIndex(-1);
        cboOperator[row]->setCurrentIndex(-1);
        cboOperator[row]->setEnabled(false);
    } else {
        cboOperator[row]->setCurrentIndex(0);
        cboOperator[row]->setEnabled(true);
    }
    txtValue[row]->clear();
    cmdSearch->setEnabled(true);
}

void frmMarcNoSeek::subValueChanged()
{
    QString all;
    for (QLineEdit* v : txtValue)
        all += v->text();
    cmdSearch->setEnabled(!all.trimmed().isEmpty());
}

void frmMarcNoSeek::showEvent(QShowEvent* event)
{
    // Shown, 检索 is on only while a condition holds a value (the quick
    // search's row, say) that has not been searched yet.
    if (cmdSearch->isEnabled())
        subValueChanged();
    QDialog::showEvent(event);
}

int frmMarcNoSeek::intBookSeek()
{
    QVector<SeekRow> rows(kRows);
    for (int n = 0; n < kRows; ++n) {
        const int i = cboIndex[n]->currentIndex();
        if (i >= 0 && i < g_intIdxGroupCount && i < g_arrIdxGroup.size())
            rows[n].code = g_arrIdxGroup[i].code;
        rows[n].mode = qMax(0, cboOperator[n]->currentIndex());
        rows[n].value = txtValue[n]->text();
    }
    const SeekText t = varBuildBookSeek(rows, g_intMarc03 != 0);
    for (int n = 0; n < kRows; ++n) {
        if (rows[n].code == QLatin1String("05"))
            txtValue[n]->setText(t.shown.value(n));
    }
    if (t.sql.isEmpty()) {
        intShowMsg(QStringLiteral("EBM003"));
        return -1;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int ret = intRunBookSeek(t, pages_);
    QApplication::restoreOverrideCursor();
    if (ret != 0)
        return -1;
    cmdSearch->setEnabled(false);
    // The first page listed, the count of all hits shown; the rest as the
    // worker scrolls down to them.
    varBookLst = pages_.hits();
    lblRecNum->setText(QString::number(pages_.total()));
    spdBookLst->setRedraw(false);
    spdBookLst->setMaxRows(0);
    subAddHitRows();
    spdBookLst->setColHidden(6, true);
    spdBookLst->setRedraw(true);
    cmdOK->setEnabled(varBookLst.rowCount() > 0);
    topRow_ = 1;
    if (varBookLst.rowCount() > 0)
        subShowPage(1);
    return 0;
}

void frmMarcNoSeek::subAddHitRows()
{
    const int from = spdBookLst->maxRows() + 1;
    spdBookLst->setMaxRows(varBookLst.rowCount());
    for (int r = from; r <= varBookLst.rowCount(); ++r)
        spdBookLst->setText(6, r, QStringLiteral("0"));
}

void frmMarcNoSeek::subReadHitPage()
{
    if (readingPage_ || pages_.complete())
        return;
    readingPage_ = true;
    const int added = pages_.next();
    if (added < 0) {
        intShowDBError();
    } else if (added > 0) {
        varBookLst = pages_.hits();
        spdBookLst->setRedraw(false);
        subAddHitRows();
        spdBookLst->setRedraw(true);
        subShowPage(qMax(1, spdBookLst->rowAt(0) + 1));
    }
    readingPage_ = false;
}

void frmMarcNoSeek::subShowPage(int startLine)
{
    // Ten rows, or as many as the list shows when it shows more.
    const int lastShown = spdBookLst->rowAt(spdBookLst->viewport()->height() - 1);
    const int page = qMax(10, lastShown >= 0 ? lastShown + 1 - startLine + 1 : 0);
    spdBookLst->setRedraw(false);
    for (int r = startLine; r < startLine + page && r <= spdBookLst->maxRows(); ++r) {
        if (spdBookLst->getText(6, r).toInt() != 0)
            continue;
        const QString no = varBookLst.text(r - 1, 0);
        g_recMarc = strReadMarc(no);
        ++marcReads_;
        spdBookLst->setText(1, r, strGetMarcTitle(g_recMarc, 4));
        spdBookLst->setText(2, r, strGetMarcTitle(g_recMarc, 0));
        spdBookLst->setText(3, r, strGetMarcTitle(g_recMarc, 1));
        spdBookLst->setText(4, r, strGetMarcTitle(g_recMarc, 3));
        const BookSumEntry* e = pages_.summary(no);
        spdBookLst->setText(5, r, e ? e->isbn : QString());
        spdBookLst->setText(6, r, QStringLiteral("1"));
    }
    spdBookLst->setRedraw(true);
}

void frmMarcNoSeek::cmdSearch_Click()
{
    if (intBookSeek() == 0 && varBookLst.rowCount() > 0)
        owner_->yesSel = true;
    done(QDialog::Accepted);
}

void frmMarcNoSeek::cmdOK_Click()
{
    done(QDialog::Accepted);
    const int s = qMax(1, spdBookLst->activeRow());
    if (s > varBookLst.rowCount())
        return;
    owner_->m_strMarcNo = varBookLst.text(s - 1, 0);
    owner_->strChosenNo = owner_->m_strMarcNo;
    owner_->yesSel = true;
}

void frmMarcNoSeek::cmdCancel_Click()
{
    owner_->yesSel = false;
    g_intMarcSeekOn = 0;
    done(QDialog::Rejected);
    deleteLater();
}

void frmMarcNoSeek::closeEvent(QCloseEvent* event)
{
    g_intMarcSeekOn = 0;
    QDialog::closeEvent(event);
    deleteLater();
}
