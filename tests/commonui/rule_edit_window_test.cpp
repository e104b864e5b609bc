// The rule editor window offscreen: its three modes, Enter in the tab order,
// the key filters of the number boxes, leaving a box, help, OK and Cancel.

#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basEnv.h"
#include "common/basMsg.h"
#include "common/frmRuleEditNew.h"
#include "platform/text/AnsiFile.h"
#include "tests/support/BadInput.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class RuleEditWindowTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        g_strWkrNo = QStringLiteral("0001");
        ASSERT_EQ(intInitEnvironment(), 0);
    }
    void TearDown() override
    {
        g_strWkrNo.clear();
        DatabaseTest::TearDown();
    }
    static void activate(QWidget* w)
    {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    // Types keys into a box as a worker would, the caret where it is.
    static void type(QLineEdit* box, const QString& keys)
    {
        for (QChar c : keys)
            QTest::keyClick(box, c.toLatin1());
    }
    static QString msg(const char* code) { return strGetMsg(QString::fromLatin1(code)); }
};

TEST_F(RuleEditWindowTest, ThreeModes)
{
    frmRuleEditNew add(0, QString());
    EXPECT_EQ(add.windowTitle(), "借阅规则管理- 新增");
    EXPECT_TRUE(add.chkEnabled->isChecked());
    EXPECT_FALSE(add.chkRead->isChecked());
    EXPECT_FALSE(add.chkPreg->isChecked());
    EXPECT_TRUE(add.optTimeUnit[1]->isChecked());
    EXPECT_TRUE(add.optRenewDay[0]->isChecked());
    EXPECT_FALSE(add.cmdOk->isEnabled());
    EXPECT_TRUE(add.txtField[0]->isEnabled());
    EXPECT_EQ(add.txtField[3]->text(), "");
    for (int i : {2, 6, 7, 26, 27, 28, 29})
        EXPECT_TRUE(add.txtField[i]->isHidden()) << i;
    EXPECT_EQ(add.fraRule[0]->title(), "基  本");
    EXPECT_EQ(add.lblField[14]->text(), "到期前免催天数： ");

    frmRuleEditNew copy(2, "R2");
    EXPECT_EQ(copy.windowTitle(), "借阅规则管理- 复制");
    EXPECT_EQ(copy.txtField[0]->text(), "");
    EXPECT_EQ(copy.txtField[1]->text(), "");
    EXPECT_EQ(copy.txtField[3]->text(), "4");
    EXPECT_EQ(copy.txtField[22]->text(), "0.50");
    EXPECT_TRUE(copy.optTimeUnit[0]->isChecked());
    EXPECT_TRUE(copy.chkEnabled->isChecked());
    EXPECT_TRUE(copy.chkEnabled->isEnabled());
    EXPECT_FALSE(copy.cmdOk->isEnabled());

    frmRuleEditNew change(1, "R1");
    EXPECT_EQ(change.windowTitle(), "借阅规则管理- 修改");
    EXPECT_EQ(change.txtField[0]->text(), "R1");
    EXPECT_FALSE(change.txtField[0]->isEnabled());
    EXPECT_FALSE(change.chkEnabled->isEnabled()); // assigned and lent
    EXPECT_FALSE(change.chkRead->isChecked());
    EXPECT_FALSE(change.chkRead->isEnabled());
    EXPECT_TRUE(change.optRenewDay[1]->isChecked());
    EXPECT_FALSE(change.cmdOk->isEnabled());

    frmRuleEditNew copyRule(1, "COPY000001");
    EXPECT_TRUE(copyRule.chkRead->isChecked());
    EXPECT_FALSE(copyRule.chkRead->isEnabled());
    EXPECT_TRUE(copyRule.chkEnabled->isEnabled()); // nothing uses it
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(RuleEditWindowTest, EnterMovesInTheTabOrderAndHelpFollowsTheFocus)
{
    frmRuleEditNew w(0, QString());
    activate(&w);
    w.txtField[0]->setFocus();
    QStringList order;
    for (int k = 0; k < 40 && QApplication::focusWidget() != w.cmdOk; ++k) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(order, (QStringList{"txtField_0", "txtField_1", "chkEnabled", "txtField_3", "txtField_4",
                                  "txtField_5", "txtField_13", "txtField_30", "optTimeUnit_0", "txtField_19",
                                  "optTimeUnit_1", "chkRenew", "txtField_10", "txtField_11", "txtField_8",
                                  "txtField_9", "optRenewDay_0", "optRenewDay_1", "txtField_17", "txtField_18",
                                  "txtField_14", "txtField_15", "chkPreg", "txtField_12", "txtField_16",
                                  "txtField_20", "txtField_21", "txtField_22", "txtField_23", "txtField_24",
                                  "txtField_25"}));
    // The focus entering 使用标志 enabled OK on the way.
    EXPECT_TRUE(w.cmdOk->isEnabled());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(RuleEditWindowTest, NumberBoxesFilterKeysAndFormatOnLeaving)
{
    frmRuleEditNew w(0, QString());
    activate(&w);
    QLineEdit* days = w.txtField[3];
    days->setFocus();
    type(days, "1a2.-3");
    EXPECT_EQ(days->text(), "123");

    QLineEdit* fine = w.txtField[23];
    fine->setFocus();
    type(fine, "1.5");
    EXPECT_EQ(fine->text(), "1.5");
    type(fine, ".");
    EXPECT_EQ(fine->text(), "1.5"); // a second point
    type(fine, "07");
    EXPECT_EQ(fine->text(), "1.50"); // a third decimal
    w.txtField[24]->setFocus();
    EXPECT_EQ(fine->text(), "1.50");

    fine->setFocus();
    fine->setText("123.45");
    fine->setCursorPosition(0);
    type(fine, "9");
    fine->setCursorPosition(6);
    type(fine, "9");
    EXPECT_EQ(fine->text(), "123.45");
    fine->setText("15");
    fine->setCursorPosition(1);
    type(fine, ".");
    fine->setCursorPosition(3);
    QTest::keyClick(fine, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(fine->text(), "1.5");
    fine->setText("1.5");
    fine->setCursorPosition(1);
    QTest::keyClick(fine, Qt::Key_Delete);
    EXPECT_EQ(fine->text(), "1.5"); // the point between digits stays

    QLineEdit* first = w.txtField[22];
    first->setFocus();
    type(first, "123456");
    EXPECT_EQ(first->text(), "12345");
    first->setCursorPosition(2);
    type(first, ".");
    EXPECT_EQ(first->text(), "12345"); // three digits would follow the point
    first->setCursorPosition(3);
    type(first, ".");
    EXPECT_EQ(first->text(), "123.45");

    QLineEdit* code = w.txtField[0];
    code->setFocus();
    type(code, "42");
    w.txtField[1]->setFocus();
    EXPECT_EQ(code->text(), "0000000042");
    code->setFocus();
    code->setText("R5");
    w.txtField[1]->setFocus();
    EXPECT_EQ(code->text(), "R5");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(RuleEditWindowTest, PastedTextTheBoxCannotTakeIsRefused)
{
    frmRuleEditNew w(0, QString());
    activate(&w);
    const struct {
        int box;
        const char* kept;
        const char* pasted;
        QString shown;
    } cases[] = {
        {3, "30", "3O", "正常借期只能输入不超过9位的整数！"},
        {4, "5", "12345678901", "限借册数只能输入不超过9位的整数！"},
        {22, "0.10", "123456.5", "首次罚款单价只能输入金额：小数点前最多5位，小数点后最多2位！"},
        {23, "0.20", "1.234", "其他罚款单价只能输入金额：小数点前最多3位，小数点后最多2位！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        dialogs.clear();
        QLineEdit* box = w.txtField[c.box];
        box->setFocus();
        box->setText(c.kept);
        QApplication::clipboard()->setText(c.pasted);
        box->selectAll();
        box->paste();
        EXPECT_EQ(box->text(), c.kept);
        EXPECT_EQ(shownTexts(), QStringList{c.shown});
    }
}

// Bad input (tests/support/BadInput.h) typed as a new rule's code and name:
// OK refuses it with the code's message and the window stays, or saves the
// rule under a code without NULs, never an empty one, and closes.
TEST_F(RuleEditWindowTest, BadCodesAndNamesAreRefusedOrSaved)
{
    db().recreate();
    ASSERT_EQ(intLoadBaseCode(), 0);
    testsupport::NewRules rules(db());
    const auto added = [&rules] { return rules.added(); };
    for (const QString& t : testsupport::badTexts()) {
        SCOPED_TRACE(t.left(20).toUtf8().toHex().toStdString());
        dialogs.clear();
        frmRuleEditNew w(0, QString());
        w.txtField[0]->setText(t);
        w.txtField[1]->setText(t);
        w.cmdOk->setEnabled(true);
        w.cmdOk->click();
        EXPECT_EQ(g_intErrKind, 0);
        if (w.result() != QDialog::Accepted) {
            EXPECT_EQ(shownTexts(), QStringList{msg("ELT703")});
            EXPECT_TRUE(added().isEmpty());
            continue;
        }
        EXPECT_TRUE(dialogs.shown.isEmpty()) << shownTexts().join('|');
        EXPECT_FALSE(w.strRuleNo.trimmed().isEmpty());
        EXPECT_FALSE(w.strRuleNo.contains(QChar(0)));
        EXPECT_EQ(added(), QStringList{w.strRuleNo});
        rules.forget();
    }
}

TEST_F(RuleEditWindowTest, HelpFromTheFileReadAsGb18030)
{
    const QString folder = strProgramFolder() + "cfg/sys";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(text::writeAnsiFile(folder + "/ruleedit.txt", QStringLiteral("03：正常借期：图书可以借阅的期限。\n"
                                                                             "04没有冒号的说明\n")));
    QFile raw(folder + "/ruleedit.txt");
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().contains("\xd5\xfd\xb3\xa3")); // 正常 in GBK
    raw.close();

    frmRuleEditNew w(0, QString());
    activate(&w);
    // The first box to take the focus (the code) shows the general text.
    ASSERT_EQ(QApplication::focusWidget(), w.txtField[0]);
    EXPECT_EQ(w.lblHelp[0]->text(), "借阅规则：");
    EXPECT_EQ(w.lblHelp[1]->text(), "用于定义该读者类型，在当前馆藏地，借阅所属图书流通类型书刊的细则。");
    w.txtField[3]->setFocus();
    EXPECT_EQ(w.lblHelp[0]->text(), "正常借期：");
    EXPECT_EQ(w.lblHelp[1]->text(), "图书可以借阅的期限。");
    // A line without a colon is its own entry, shown without a title ...
    w.txtField[4]->setFocus();
    EXPECT_EQ(w.lblHelp[0]->text(), "");
    EXPECT_EQ(w.lblHelp[1]->text(), "04没有冒号的说明");
    // ... so the next box shows the general text again.
    w.txtField[3]->setFocus();
    EXPECT_EQ(w.lblHelp[0]->text(), "借阅规则：");
    w.txtField[5]->setFocus();
    EXPECT_EQ(w.lblHelp[0]->text(), "本地最大册数：");
    EXPECT_EQ(w.lblHelp[1]->text(), "本地最大册数");
    w.txtField[1]->setFocus();
    EXPECT_EQ(w.lblHelp[1]->text(), "借阅规则名称");
    QFile::remove(folder + "/ruleedit.txt");
}

TEST_F(RuleEditWindowTest, OkRefusesOrSavesAndCloses)
{
    db().recreate();
    ASSERT_EQ(intLoadBaseCode(), 0);
    {
        frmRuleEditNew w(0, QString());
        w.cmdOk->setEnabled(true);
        w.cmdOk->click();
        EXPECT_EQ(shownTexts(), QStringList{msg("ELT703")});
        EXPECT_EQ(w.result(), 0);
        w.txtField[0]->setText("R1");
        dialogs.clear();
        w.cmdOk->click();
        EXPECT_EQ(shownTexts(), QStringList{msg("ELT700")});
        EXPECT_TRUE(w.cmdOk->isEnabled());
    }
    {
        dialogs.clear();
        frmRuleEditNew w(1, "R1");
        QCheckBox* flag = w.chkEnabled;
        flag->setEnabled(true);
        flag->setChecked(false);
        w.cmdOk->setEnabled(true);
        w.cmdOk->click();
        EXPECT_EQ(shownTexts(), QStringList{msg("ELT702")});
        EXPECT_TRUE(flag->isChecked());
    }
    {
        dialogs.clear();
        frmRuleEditNew w(2, "R1");
        w.txtField[0]->setText("88");
        w.txtField[1]->setText("复制的规则");
        w.txtField[22]->setText("12.50");
        w.chkRead->click();
        ASSERT_TRUE(w.cmdOk->isEnabled());
        w.cmdOk->click();
        EXPECT_TRUE(dialogs.shown.isEmpty()) << shownTexts().join('|');
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
        EXPECT_EQ(w.intDealType, 1);
        EXPECT_EQ(w.strRuleNo, "COPY000088");
        EXPECT_FALSE(w.cmdOk->isEnabled());
        EXPECT_EQ(db().scalar("select fst_fine_price || '/' || norm_term || '/' || rule_name from circ_rule "
                              "where rule_no = 'COPY000088'"),
                  "12.50/30/复制的规则");
    }
    {
        // A failed save is reported and still closes the window.
        dialogs.clear();
        db().exec("alter table circ_rule add constraint ck_test_rule check (rule_name <> '坏')");
        frmRuleEditNew w(0, QString());
        w.txtField[0]->setText("89");
        w.txtField[1]->setText("坏");
        w.cmdOk->click();
        db().exec("alter table circ_rule drop constraint ck_test_rule");
        EXPECT_EQ(shownTexts(), QStringList{msg("ECM012")});
        EXPECT_EQ(w.result(), int(QDialog::Rejected));
        EXPECT_EQ(w.intDealType, 1);
        EXPECT_EQ(w.strRuleNo, "0000000089");
        EXPECT_EQ(db().scalar("select count(*) from circ_rule where rule_no = '0000000089'"), "0");
    }
    {
        dialogs.clear();
        int dealType = 0;
        QString ruleNo;
        dialogs.dialogHandler = [](QDialog* d) {
            static_cast<frmRuleEditNew*>(d)->cmdCancel->click();
            return d->result();
        };
        frmRuleEditNew::showRuleEdit(nullptr, dealType, ruleNo);
        EXPECT_EQ(dealType, 0);
        EXPECT_EQ(ruleNo, "");
    }
}

} // namespace
