#include "shell/frmFindText.h"

#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPointer<frmFindText> g_form;

// The search text without leading and trailing blanks; tabs and full-width
// spaces are part of what is searched.
QString blankTrimmed(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == QLatin1Char(' ')) ++from;
    while (to > from && text[to - 1] == QLatin1Char(' ')) --to;
    return text.mid(from, to - from);
}

QMdiArea* mdiOf(QWidget* w) {
    auto* main = qobject_cast<QMainWindow*>(w);
    return main ? qobject_cast<QMdiArea*>(main->centralWidget()) : nullptr;
}

bool isCollected(const QWidget* w) {
    const QString kind = strGridKind(w);
    return kind == QLatin1String("VSFlexGrid") || kind == QLatin1String("vaSpread") ||
           kind == QLatin1String("fpSpread");
}

// The grids of a window in control order.
void addGrids(QWidget* window, QList<QPointer<QWidget>>& out) {
    if (!window) return;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (isCollected(w)) out.append(w);
}

// The grids the worker sees in a window.
QList<QWidget*> shownGrids(QWidget* window) {
    QList<QWidget*> out;
    if (!window) return out;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (isCollected(w) && w->isVisibleTo(window) && w->isEnabled()) out.append(w);
    return out;
}

} // namespace

frmFindText* frmFindText::instance(QWidget* owner) {
    if (!g_form) g_form = new frmFindText(owner);
    return g_form;
}

frmFindText* frmFindText::existing() {
    return g_form.data();
}

frmFindText::frmFindText(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmFindText"));
    setWindowTitle(QStringLiteral("查找文本"));
    setModal(false);

    auto* caption = new QLabel(QStringLiteral("查找内容(&F)："), this);
    caption->setObjectName(QStringLiteral("lblCaption"));
    cmbValue = new QComboBox(this);
    cmbValue->setObjectName(QStringLiteral("cmbValue"));
    cmbValue->setEditable(true);
    cmbValue->setInsertPolicy(QComboBox::NoInsert);
    caption->setBuddy(cmbValue);

    auto* scope = new QGroupBox(QStringLiteral("查找"), this);
    auto* scopeLayout = new QVBoxLayout(scope);
    const QString scopes[] = {QStringLiteral("当前列表(&G)"), QStringLiteral("当前窗体(&W)"),
                              QStringLiteral("所有窗体(&A)")};
    for (int i = 0; i < 3; ++i) {
        optSearch[i] = new QRadioButton(scopes[i], scope);
        optSearch[i]->setObjectName(QStringLiteral("optSearch_%1").arg(i));
        scopeLayout->addWidget(optSearch[i]);
    }
    optSearch[0]->setChecked(true);
    chkWhole = new QCheckBox(QStringLiteral("全字匹配(&O)"), this);
    chkWhole->setObjectName(QStringLiteral("chkWhole"));
    chkCase = new QCheckBox(QStringLiteral("区分大小写(&S)"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    auto* way = new QGroupBox(QStringLiteral("方向"), this);
    auto* wayLayout = new QHBoxLayout(way);
    const QString ways[] = {QStringLiteral("向前"), QStringLiteral("向后")};
    for (int i = 0; i < 2; ++i) {
        optWay[i] = new QRadioButton(ways[i], way);
        optWay[i]->setObjectName(QStringLiteral("optWay_%1").arg(i));
        wayLayout->addWidget(optWay[i]);
    }
    optWay[1]->setChecked(true);
    cmdFind = new QPushButton(QStringLiteral("查找下一个(&N)"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdFind->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(cmbValue, 0, 1, 1, 2);
    grid->addWidget(cmdFind, 0, 3);
    grid->addWidget(scope, 1, 0, 3, 1);
    grid->addWidget(chkWhole, 1, 1);
    grid->addWidget(chkCase, 2, 1);
    grid->addWidget(way, 3, 1, 1, 2);
    grid->addWidget(cmdCancel, 1, 3);

    connect(cmbValue, &QComboBox::editTextChanged, this,
            [this](const QString& t) { cmdFind->setEnabled(!blankTrimmed(t).isEmpty()); });
    connect(cmdFind, &QPushButton::clicked, this, &frmFindText::cmdFind_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFindText::cmdCancel_Click);
    cmdFind->setEnabled(false);
}

frmFindText::~frmFindText() = default;

QWidget* frmFindText::searchedWindow() const {
    if (!owner_) return nullptr;
    if (!frame_) return owner_;
    QMdiArea* mdi = mdiOf(owner_);
    QMdiSubWindow* sub = mdi ? mdi->activeSubWindow() : nullptr;
    if (!sub && mdi && !mdi->subWindowList().isEmpty()) sub = mdi->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

void frmFindText::initFindForm(QWidget* owner) {
    if (!owner) return;
    owner_ = owner;
    windows_.clear();
    QMdiArea* mdi = mdiOf(owner);
    frame_ = mdi != nullptr;
    if (frame_) {
        for (QMdiSubWindow* sub : mdi->subWindowList())
            if (sub->widget() && sub->isEnabled() && sub->widget()->isEnabled())
                windows_.append(sub->widget());
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != this && top != owner && top->isVisible() && top->isEnabled()) windows_.append(top);
    }
    collect();
    setStates();
}

void frmFindText::collect() {
    grids_.clear();
    need_.clear();
    current_ = nullptr;
    savedMode_ = -1;
    index_ = 0;
    QWidget* searched = searchedWindow();
    if (optSearch[0]->isChecked()) {
        QWidget* focus = searched ? searched->focusWidget() : nullptr;
        while (focus && !isCollected(focus) && focus != searched && !isCollected(focus->parentWidget()))
            focus = focus->parentWidget();
        if (focus && !isCollected(focus) && focus->parentWidget() && isCollected(focus->parentWidget()))
            focus = focus->parentWidget(); // the viewport or an editor of a grid
        if (focus && focus != searched && isCollected(focus)) {
            grids_.append(focus);
        } else {
            // No list has the focus: the window's one list shown, or a word on
            // which list to click first.
            const QList<QWidget*> shown = shownGrids(searched);
            if (shown.size() == 1) grids_.append(shown.first());
            else if (!searched) need_ = QStringLiteral("请先打开要查找的窗体！");
            else if (shown.isEmpty()) need_ = QStringLiteral("当前窗体没有可查找的列表！");
            else need_ = QStringLiteral("当前窗体有多个列表，请先单击要查找的列表！");
        }
    } else if (optSearch[1]->isChecked()) {
        addGrids(searched, grids_);
        if (grids_.isEmpty())
            need_ = searched ? QStringLiteral("当前窗体没有可查找的列表！") : QStringLiteral("请先打开要查找的窗体！");
    } else if (optSearch[2]->isChecked()) {
        for (const QPointer<QWidget>& w : std::as_const(windows_))
            addGrids(w, grids_);
    }
    if (!grids_.isEmpty()) index_ = 1;
}

void frmFindText::setStates() {
    cmdFind->setEnabled(false);
    optSearch[0]->setEnabled(false);
    optSearch[1]->setEnabled(false);
    // Switching the third option off leaves the group with none on.
    optSearch[2]->setAutoExclusive(false);
    optSearch[2]->setChecked(false);
    optSearch[2]->setAutoExclusive(true);
    if (owner_) {
        optSearch[2]->setEnabled(frame_);
        cmdFind->setEnabled(!blankTrimmed(cmbValue->currentText()).isEmpty());
        optSearch[0]->setEnabled(true);
        optSearch[1]->setEnabled(true);
    }
}

QList<QWidget*> frmFindText::gridList() const {
    QList<QWidget*> out;
    for (const QPointer<QWidget>& g : grids_)
        out.append(g.data());
    return out;
}

void frmFindText::addHistory(const QString& text) {
    if (cmbValue->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        const QString shown = cmbValue->currentText();
        cmbValue->addItem(text);
        cmbValue->setEditText(shown);
    }
}

void frmFindText::restoreCurrent() {
    if (current_) subRestoreSelectionMode(current_, savedMode_);
}

void frmFindText::cmdFind_Click() {
    FindOptions o;
    o.text = blankTrimmed(cmbValue->currentText());
    o.backward = optWay[0]->isChecked();
    const bool fresh = !open_;
    if (open_ && o.text != lastText_) {
        addHistory(o.text);
        open_ = false;
    }
    o.whole = chkWhole->isChecked();
    o.matchCase = chkCase->isChecked();
    if (index_ == 0) {
        // Nothing to search: say what is needed rather than nothing at all.
        if (!need_.isEmpty()) {
            ui::BoxRequest box;
            box.icon = ui::BoxIcon::Information;
            box.title = QStringLiteral("提示");
            box.text = need_;
            ui::DialogService::current().showBox(box);
        }
        return;
    }
    for (int i = index_; i <= grids_.size(); ++i) {
        restoreCurrent();
        QWidget* grid = grids_.at(i - 1);
        current_ = grid;
        savedMode_ = grid ? intSelectionMode(grid) : 0;
        if (fresh) pos_ = o.backward && grid ? posLastCell(grid) : FindPosition{};
        if (grid && blnScanGrid(grid, pos_, o)) {
            index_ = i;
            lastText_ = o.text;
            open_ = true;
            return;
        }
        if (i == grids_.size()) {
            restoreCurrent();
            ui::BoxRequest box;
            box.icon = ui::BoxIcon::Warning;
            box.title = QStringLiteral("提示");
            box.text = open_ ? QStringLiteral("已搜索指定区域！") : QStringLiteral("未找到搜索文本！");
            box.beep = true;
            ui::DialogService::current().showBox(box);
            lastText_.clear();
            pos_ = {};
            open_ = false;
        }
    }
}

void frmFindText::cmdCancel_Click() {
    if (open_) {
        const QString text = blankTrimmed(cmbValue->currentText());
        if (!text.isEmpty()) addHistory(text);
        open_ = false;
    }
    hide();
}

void frmFindText::subRecollect() {
    restoreCurrent();
    collect();
    setStates();
}

void frmFindText::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) subRecollect();
}
