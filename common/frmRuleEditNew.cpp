#include "common/frmRuleEditNew.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMsg.h"

#include "platform/ui/DialogService.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("借阅规则管理");

// The boxes of each frame, in their order on screen.
const QList<int> kFrameBoxes[6] = {
    {3, 4, 5, 13, 30}, {10, 11, 8, 9}, {17, 18, 19, 14, 15}, {16, 20, 21, 22, 23}, {12}, {24, 25}};
const char* const kFrameCaptions[6] = {"基  本", "续  借", "催  还", "过期罚款", "预  约", "遗失赔偿"};

int checkState(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void setCheck(QCheckBox* box, int state)
{
    box->setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

frmRuleEditNew::frmRuleEditNew(int dealType, const QString& ruleNo, QWidget* parent)
    : QDialog(parent), intDealType(dealType), strRuleNo(ruleNo)
{
    setObjectName(QStringLiteral("frmRuleEditNew"));
    setWindowTitle(kCaption);
    buildControls();
    subLoadForm();
}

void frmRuleEditNew::showRuleEdit(QWidget* parent, int& dealType, QString& ruleNo)
{
    frmRuleEditNew window(dealType, ruleNo, parent);
    ui::DialogService::current().execDialog(&window);
    dealType = window.intDealType;
    ruleNo = window.strRuleNo;
}

void frmRuleEditNew::buildControls()
{
    for (int i = 0; i < kRuleBoxes; ++i) {
        txtField[i] = new QLineEdit(this);
        txtField[i]->setObjectName(QStringLiteral("txtField_%1").arg(i));
        if (i <= 1)
            txtField[i]->setMaxLength(intRuleBoxLength(i));
        lblField[i] = new QLabel(strRuleFieldCaption(i), this);
        lblField[i]->setObjectName(QStringLiteral("lblField_%1").arg(i));
        txtField[i]->installEventFilter(this);
        connect(txtField[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
            cmdOk->setEnabled(true);
            if (blnRuleBoxTextValid(i, text))
                lastValid_[i] = text;
        });
        connect(txtField[i], &QLineEdit::textEdited, this, [this, i](const QString& text) { boxEdited(i, text); });
    }
    // Columns 2, 6 and 7 are options and check boxes; 26 to 29 are carried
    // from the row to the save without being shown.
    for (int i : {2, 6, 7, 26, 27, 28, 29}) {
        txtField[i]->hide();
        lblField[i]->hide();
    }

    auto check = [this](const char* name, const QString& caption) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QString::fromLatin1(name));
        box->installEventFilter(this);
        return box;
    };
    chkEnabled = check("chkEnabled", QStringLiteral("使用标志"));
    chkPreg = check("chkPreg", QStringLiteral("允许预约"));
    chkRenew = check("chkRenew", QStringLiteral("允许续借"));
    chkRead = check("chkRead", QStringLiteral("复印外借规则"));
    connect(chkRead, &QCheckBox::clicked, this, [this] { cmdOk->setEnabled(true); });

    auto optionGroup = [this](const char* frame, const QString& caption, QRadioButton** options, const char* name,
                              const QString& first, const QString& second) {
        auto* group = new QGroupBox(caption, this);
        group->setObjectName(QString::fromLatin1(frame));
        auto* row = new QHBoxLayout(group);
        const QString texts[2] = {first, second};
        for (int k = 0; k < 2; ++k) {
            options[k] = new QRadioButton(texts[k], group);
            options[k]->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(k));
            options[k]->installEventFilter(this);
            row->addWidget(options[k]);
        }
        return group;
    };
    fraTimeUnit = optionGroup("fraTimeUnit", QStringLiteral("计时单位"), optTimeUnit, "optTimeUnit",
                              QStringLiteral("以小时计"), QStringLiteral("以天计"));
    fraRenewDay = optionGroup("fraRenewDay", QStringLiteral("续借起始日"), optRenewDay, "optRenewDay",
                              QStringLiteral("续借日起"), QStringLiteral("期满日起"));
    optTimeUnit[1]->setChecked(true);
    optRenewDay[0]->setChecked(true);

    for (int f = 0; f < 6; ++f) {
        fraRule[f] = new QGroupBox(QString::fromUtf8(kFrameCaptions[f]), this);
        fraRule[f]->setObjectName(QStringLiteral("fraRule_%1").arg(f));
        auto* rows = new QFormLayout(fraRule[f]);
        if (f == 1)
            rows->addRow(chkRenew);
        if (f == 4)
            rows->addRow(chkPreg);
        for (int i : kFrameBoxes[f]) {
            txtField[i]->setParent(fraRule[f]);
            lblField[i]->setParent(fraRule[f]);
            rows->addRow(lblField[i], txtField[i]);
        }
        if (f == 0) {
            fraTimeUnit->setParent(fraRule[f]);
            rows->addRow(fraTimeUnit);
        }
        if (f == 1) {
            fraRenewDay->setParent(fraRule[f]);
            rows->addRow(fraRenewDay);
        }
    }

    fraHelp = new QGroupBox(this);
    fraHelp->setObjectName(QStringLiteral("fraHelp"));
    auto* helpLayout = new QVBoxLayout(fraHelp);
    lblHelp[2] = new QLabel(fraHelp);
    lblHelp[2]->setObjectName(QStringLiteral("lblHelp_2"));
    lblHelp[2]->setFrameShape(QFrame::Box);
    lblHelp[2]->setAutoFillBackground(true);
    QPalette white = lblHelp[2]->palette();
    white.setColor(QPalette::Window, Qt::white);
    lblHelp[2]->setPalette(white);
    auto* inside = new QVBoxLayout(lblHelp[2]);
    for (int k = 0; k < 2; ++k) {
        lblHelp[k] = new QLabel(lblHelp[2]);
        lblHelp[k]->setObjectName(QStringLiteral("lblHelp_%1").arg(k));
        lblHelp[k]->setWordWrap(true);
        inside->addWidget(lblHelp[k]);
    }
    inside->addStretch();
    helpLayout->addWidget(lblHelp[2]);

    cmdOk = new QPushButton(QStringLiteral("确认(&O)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdOk, &QPushButton::clicked, this, &frmRuleEditNew::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRuleEditNew::cmdCancel_Click);

    auto* head = new QGridLayout;
    head->addWidget(lblField[0], 0, 0);
    head->addWidget(txtField[0], 0, 1);
    head->addWidget(chkEnabled, 0, 2);
    head->addWidget(lblField[1], 1, 0);
    head->addWidget(txtField[1], 1, 1);
    head->addWidget(chkRead, 1, 2);
    auto* frames = new QGridLayout;
    for (int f = 0; f < 6; ++f)
        frames->addWidget(fraRule[f], f / 3, f % 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fraHelp, 1);
    auto* column = new QVBoxLayout;
    column->addWidget(cmdOk);
    column->addWidget(cmdCancel);
    column->addStretch();
    buttons->addLayout(column);
    auto* page = new QVBoxLayout(this);
    page->addLayout(head);
    page->addLayout(frames);
    page->addLayout(buttons);

    auto box = [this](int i) -> QWidget* { return txtField[i]; };
    tabOrder_ = {box(0),  box(1),  chkEnabled, box(3),         box(4),         box(5),  box(13), box(30),
                 optTimeUnit[0], box(19), optTimeUnit[1], chkRenew, box(10), box(11), box(8),  box(9),
                 optRenewDay[0], optRenewDay[1], box(17), box(18), box(14), box(15), chkPreg, box(12),
                 box(16), box(20), box(21), box(22), box(23), box(24), box(25), cmdOk, cmdCancel, chkRead};
    for (int k = 1; k < tabOrder_.size(); ++k)
        QWidget::setTabOrder(tabOrder_[k - 1], tabOrder_[k]);
}

void frmRuleEditNew::subEnableRuleFrames(bool on)
{
    for (QGroupBox* frame : fraRule)
        frame->setEnabled(on);
}

void frmRuleEditNew::subLoadForm()
{
    setCursor(Qt::WaitCursor);
    bool unload = false;
    switch (intDealType) {
    case 0:
        setWindowTitle(kCaption + QStringLiteral("- 新增"));
        subEnableRuleFrames(true);
        chkEnabled->setChecked(true);
        break;
    case 2:
    case 1: {
        setWindowTitle(kCaption + (intDealType == 1 ? QStringLiteral("- 修改") : QStringLiteral("- 复制")));
        RuleForm f = form();
        if (subLoadRuleData(strRuleNo, intDealType, f, &unload) == 0)
            setForm(f);
        subEnableRuleFrames(true);
        if (intDealType == 1) {
            txtField[0]->setEnabled(false);
            const QString code = txtField[0]->text();
            bool unloadComp = false;
            bool unloadLend = false;
            bool used = blnRuleInComp(code, &unloadComp);
            if (!used && g_intSQLRet >= 0)
                used = blnRuleInLend(code, &unloadLend);
            unload = unload || unloadComp || unloadLend;
            // A check that failed leaves the flag locked: the rule may be in use.
            if (used || g_intSQLRet < 0)
                chkEnabled->setEnabled(false);
            if (code.left(4) == QLatin1String("COPY"))
                chkRead->setChecked(true);
            chkRead->setEnabled(false);
        }
        break;
    }
    default:
        break;
    }
    cmdOk->setEnabled(false);
    subLoadRuleHelp(strRuleHelpFile(), help_);
    unsetCursor();
    if (unload)
        unloadWindow(QDialog::Rejected);
}

RuleForm frmRuleEditNew::form() const
{
    RuleForm f;
    for (int i = 0; i < kRuleBoxes; ++i)
        f.txtField[i] = txtField[i]->text();
    f.hours = optTimeUnit[0]->isChecked();
    f.renewFromDue = optRenewDay[1]->isChecked();
    f.enabled = checkState(chkEnabled);
    f.preg = checkState(chkPreg);
    f.renew = checkState(chkRenew);
    f.read = checkState(chkRead);
    f.readRow = readRow_;
    return f;
}

void frmRuleEditNew::setForm(const RuleForm& f)
{
    for (int i = 0; i < kRuleBoxes; ++i)
        txtField[i]->setText(f.txtField[i]);
    optTimeUnit[f.hours ? 0 : 1]->setChecked(true);
    optRenewDay[f.renewFromDue ? 1 : 0]->setChecked(true);
    setCheck(chkEnabled, f.enabled);
    setCheck(chkPreg, f.preg);
    setCheck(chkRenew, f.renew);
    setCheck(chkRead, f.read);
    readRow_ = f.readRow;
}

void frmRuleEditNew::subFocusNext(QWidget* from)
{
    const int at = int(tabOrder_.indexOf(from));
    for (int k = 1; k <= tabOrder_.size(); ++k) {
        QWidget* next = tabOrder_[(at + k) % tabOrder_.size()];
        if (next->isEnabled() && !next->isHidden()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool frmRuleEditNew::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    const int box = int(std::find(std::begin(txtField), std::end(txtField), watched) - std::begin(txtField));
    const bool isBox = box < kRuleBoxes;
    if (event->type() == QEvent::FocusIn) {
        if (isBox)
            boxFocusIn(box);
        else if (watched != chkRead)
            cmdOk->setEnabled(true);
    } else if (event->type() == QEvent::FocusOut && isBox) {
        boxFocusOut(box);
    } else if (event->type() == QEvent::KeyPress && widget) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEnter(key) && watched != chkRead) {
            subFocusNext(widget);
            return true;
        }
        if (isBox)
            return boxKeyPress(box, key);
    }
    return QDialog::eventFilter(watched, event);
}

void frmRuleEditNew::subDecimalKeyPress(QLineEdit* box, int& key, int before, int after)
{
    key = intDecimalKeyPress(box->text(), box->cursorPosition(), key, before, after);
}

void frmRuleEditNew::subDecimalKeyDown(QLineEdit* box, int& key, int before, int after)
{
    const QString text = box->text();
    const int caret = box->cursorPosition();
    bool insertPoint = false;
    key = intDecimalKeyDown(text, caret, key, before, after, &insertPoint);
    if (insertPoint) {
        box->setText(text.left(caret) + QLatin1Char('.') + text.mid(caret));
        box->setCursorPosition(caret + 1);
    }
}

bool frmRuleEditNew::boxKeyPress(int i, QKeyEvent* event)
{
    const int before = intRuleMoneyDigits(i);
    if (!blnRuleWholeNumberBox(i) && !before)
        return false;
    int key = 0;
    if (before && (event->key() == Qt::Key_Period || event->key() == Qt::Key_Delete)) {
        key = event->key() == Qt::Key_Delete                ? kKeyDelete
              : event->modifiers() & Qt::KeypadModifier ? kKeyPadPoint
                                                          : kKeyPoint;
        subDecimalKeyDown(txtField[i], key, before, 2);
        return key == 0;
    }
    if (event->key() == Qt::Key_Backspace)
        key = kKeyBackspace;
    else if (!event->text().isEmpty() && event->text().at(0).isPrint())
        key = event->text().at(0).unicode();
    else
        return false; // moving keys and the like
    if (before)
        subDecimalKeyPress(txtField[i], key, before, 2);
    else
        key = intWholeKeyPress(key);
    return key == 0;
}

void frmRuleEditNew::boxFocusIn(int i)
{
    const RuleHelpText help = varRuleHelpFor(i, lblHelp[0]->text(), help_);
    lblHelp[0]->setText(help.title);
    lblHelp[1]->setText(help.text);
}

void frmRuleEditNew::boxFocusOut(int i)
{
    lblHelp[1]->clear();
    QLineEdit* edit = txtField[i];
    if (i == 0)
        edit->setText(strFormatRuleCode(edit->text()));
    else if (intRuleMoneyDigits(i))
        edit->setText(strFormatMoneyBox(edit->text()));
}

void frmRuleEditNew::boxEdited(int i, const QString& text)
{
    if (blnRuleBoxTextValid(i, text))
        return;
    // A paste (or a replaced selection) that the box cannot take: the box
    // keeps what it had.
    txtField[i]->setText(lastValid_[i]);
    if (blnRuleWholeNumberBox(i))
        intShowMsg(QStringLiteral("E%1只能输入不超过%2位的整数！")
                       .arg(lblField[i]->text().trimmed().chopped(1))
                       .arg(intRuleBoxLength(i)));
    else
        intShowMsg(QStringLiteral("E%1只能输入金额：小数点前最多%2位，小数点后最多2位！")
                       .arg(lblField[i]->text().trimmed().chopped(1))
                       .arg(intRuleMoneyDigits(i)));
}

void frmRuleEditNew::cmdOk_Click()
{
    RuleForm f = form();
    setCursor(Qt::WaitCursor);
    const RuleOk ok = intRuleEditOk(intDealType, strRuleNo, f);
    unsetCursor();
    if (ok == RuleOk::Stay) {
        setCheck(chkEnabled, f.enabled);
        return;
    }
    if (ok == RuleOk::Reloaded) {
        // Another desk's save is shown: the worker changes it again.
        setForm(f);
        cmdOk->setEnabled(false);
        return;
    }
    cmdOk->setEnabled(false);
    unloadWindow(ok == RuleOk::Saved ? QDialog::Accepted : QDialog::Rejected);
}

void frmRuleEditNew::cmdCancel_Click()
{
    unloadWindow(QDialog::Rejected);
}

void frmRuleEditNew::unloadWindow(int result)
{
    done(result);
}
