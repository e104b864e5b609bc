// The reader pop-ups of the desk's command bar, opened on the loaded reader.

#include "DeskUiFixture.h"

#include "common/basLTFunc.h"
#include "reader/frmRedrAuth.h"
#include "reader/frmRedrDetail.h"
#include "reader/frmRedrRule.h"

#include <QCheckBox>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>

class PopupsTest : public DeskUiTest {
protected:
    // Runs a bar item and hands the dialog it opens to `check`.
    template <class Dialog>
    void open(const QString& key, const std::function<void(Dialog*)>& check)
    {
        bool seen = false;
        onDialog = [&](QDialog* d) {
            auto* dlg = qobject_cast<Dialog*>(d);
            EXPECT_NE(dlg, nullptr) << d->objectName();
            if (dlg) {
                seen = true;
                check(dlg);
            }
            return 0;
        };
        form->tbConsign->clickItem(key);
        EXPECT_TRUE(seen) << key;
        onDialog = nullptr;
    }
};

TEST_F(PopupsTest, DetailShowsTheReaderOfTheCard)
{
    openDesk();
    type(form->txtReader, "DC01");
    open<frmRedrDetail>("Detail", [&](frmRedrDetail* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("读者详细信息"));
        EXPECT_EQ(d->txtRedrCertField[0]->text(), "DC01");
        EXPECT_EQ(d->txtRedrField[0]->text(), "DR01");
        EXPECT_EQ(d->txtRedrField[4]->text(), QStringLiteral("王小明"));
        EXPECT_EQ(d->txtRedrField[1]->text(), QStringLiteral("学生"));
        EXPECT_EQ(d->txtSex->text(), QStringLiteral("男"));
        EXPECT_EQ(d->txtRedrField[7]->text(), QStringLiteral("计算机学院"));
        EXPECT_EQ(d->txtRedrField[15]->text(), "12");
        EXPECT_EQ(d->txtRedrCertField[7]->text(), strWorkerName("0001"));
        EXPECT_NE(d->txtRedrCertField[7]->text(), "0001");
        // Each value fits its box: nothing is cut off, the 18-character identity card number included.
        EXPECT_EQ(d->txtRedrField[3]->text().size(), 18);
        d->adjustSize();
        d->layout()->activate();
        for (QLineEdit* box : d->findChildren<QLineEdit*>()) {
            if (box->isHidden() || box == d->txtRedrField[20])
                continue;
            EXPECT_GT(box->width(), box->fontMetrics().horizontalAdvance(box->text()) + 8)
                << box->objectName().toStdString() << " " << box->text().toStdString();
        }
        // The password masks until a double-click, and again after a second.
        EXPECT_EQ(d->txtRedrField[20]->echoMode(), QLineEdit::Password);
        QTest::mouseDClick(d->txtRedrField[20], Qt::LeftButton);
        EXPECT_EQ(d->txtRedrField[20]->echoMode(), QLineEdit::Normal);
        QTest::mouseDClick(d->txtRedrField[20], Qt::LeftButton);
        EXPECT_EQ(d->txtRedrField[20]->echoMode(), QLineEdit::Password);
        // Any key closes it; nothing typed is kept.
        d->show();
        QTest::keyClick(d->txtRedrField[4], Qt::Key_A);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->txtRedrField[4]->text(), QStringLiteral("王小明"));
    });
}

TEST_F(PopupsTest, RefusedReaderGivesAnEmptyDetailButItsTypeAndRules)
{
    openDesk();
    type(form->txtReader, "DC03"); // cancelled reader: refused, card box emptied
    ASSERT_EQ(form->txtReader->text(), "");
    ASSERT_TRUE(form->tbConsign->isItemEnabled("Detail"));
    open<frmRedrDetail>("Detail", [](frmRedrDetail* d) {
        EXPECT_EQ(g_strRedrBarcode, "");
        EXPECT_EQ(d->strBarcode, "");
        EXPECT_EQ(d->txtRedrField[4]->text(), "");
        EXPECT_EQ(d->txtSex->text(), "");
        EXPECT_TRUE(d->imgRedr->pixmap().isNull());
    });
    open<frmRedrAuth>("Auth", [](frmRedrAuth* d) {
        EXPECT_EQ(d->strCertId, "DR03");
        EXPECT_EQ(d->txtRedrTypeName->text(), QStringLiteral("学生"));
        EXPECT_EQ(d->txtMaxLendQty->text(), "10");
        EXPECT_EQ(d->txtMaxPregQty->text(), "5");
    });
}

TEST_F(PopupsTest, AuthShowsTheTypeLimits)
{
    openDesk();
    type(form->txtReader, "DC14");
    open<frmRedrAuth>("Auth", [](frmRedrAuth* d) {
        EXPECT_EQ(d->txtRedrTypeName->text(), QStringLiteral("教师"));
        EXPECT_EQ(d->txtMaxLendQty->text(), "20");
        EXPECT_EQ(d->txtMaxDebtAmt->text(), "50");
        EXPECT_EQ(d->txtMaxPregQty->text(), "10");
    });
    // A reader no longer on file: every box empty.
    g_strCertID = "NOBODY";
    open<frmRedrAuth>("Auth", [](frmRedrAuth* d) { EXPECT_EQ(d->txtRedrTypeName->text(), ""); });
}

TEST_F(PopupsTest, RuleOfTheChosenCombination)
{
    openDesk();
    type(form->txtReader, "DC02");
    const QString refName = db().scalar("select circ_type_name from circ_type_code where circ_type_code = '03'");
    const QString shortName = db().scalar("select circ_type_name from circ_type_code where circ_type_code = '02'");
    const QString ordName = db().scalar("select circ_type_name from circ_type_code where circ_type_code = '01'");
    open<frmRedrRule>("Rule", [&](frmRedrRule* d) {
        EXPECT_EQ(d->strCertId, "DR02");
        EXPECT_EQ(d->cmbRedrType->currentText(), QStringLiteral("学生"));
        EXPECT_EQ(d->cmbLocation->currentText(), QStringLiteral("分馆借还台"));
        EXPECT_EQ(d->txtField[0]->text(), ""); // nothing before the search
        auto choose = [&](const QString& location, const QString& type) {
            d->cmbLocation->setCurrentText(location);
            d->lstBookType->setCurrentItem(d->lstBookType->findItems(type, Qt::MatchExactly).value(0));
            dialogs.clear();
            d->cmdSearch->click();
        };
        struct Case {
            QString location, type, rule, unit, firstPrice;
        };
        const QList<Case> cases = {
            {QStringLiteral("总馆书库"), ordName, "R1", QStringLiteral("天"), "0.10"},
            {QStringLiteral("总馆书库"), shortName, "R2", QStringLiteral("小时"), "0.50"},
            {QStringLiteral("分馆书库"), ordName, "R3", QStringLiteral("天"), "0.10"},
            // The list pattern "01,02" takes whole codes only: "03" has no rule.
            {QStringLiteral("分馆借还台"), refName, "", "", ""},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE((c.location + "/" + c.type).toStdString());
            choose(c.location, c.type);
            EXPECT_EQ(d->txtField[0]->text(), c.rule);
            EXPECT_EQ(d->txtField[2]->text(), c.unit);
            EXPECT_EQ(d->txtField[22]->text(), c.firstPrice);
            EXPECT_EQ(dialogs.shown.isEmpty(), !c.rule.isEmpty());
            if (c.rule.isEmpty()) {
                ASSERT_EQ(dialogs.shown.size(), 1);
                EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
                EXPECT_FALSE(d->chkRenew->isChecked());
            }
        }
        choose(QStringLiteral("总馆书库"), ordName);
        EXPECT_TRUE(d->chkRenew->isChecked());
        EXPECT_EQ(d->txtField[31]->text(), QStringLiteral("期满日"));
        EXPECT_EQ(d->txtField[23]->text(), "0.20");
    });
}

TEST_F(PopupsTest, RulePopUpReadsTheRulesAsTheyStandNow)
{
    openDesk();
    type(form->txtReader, "DC02");
    // Changed since the log-in: R1's first fine and the rule of a mapping row.
    db().exec("update circ_rule set fst_fine_price = 0.30 where rule_no = 'R1'");
    const QString ordName = db().scalar("select circ_type_name from circ_type_code where circ_type_code = '01'");
    open<frmRedrRule>("Rule", [&](frmRedrRule* d) {
        d->cmbLocation->setCurrentText(QStringLiteral("总馆书库"));
        d->lstBookType->setCurrentItem(d->lstBookType->findItems(ordName, Qt::MatchExactly).value(0));
        d->cmdSearch->click();
        EXPECT_EQ(d->txtField[0]->text(), "R1");
        EXPECT_EQ(d->txtField[22]->text(), "0.30");
    });
    EXPECT_EQ(g_varRuleComp.fieldCount(), 5);

    // A failed reload says so and keeps both caches as they were.
    const int rules = g_varCircRule.rowCount(), rows = g_varRuleComp.rowCount();
    db().exec("alter table rule_comp rename to rule_comp_away");
    dialogs.clear();
    EXPECT_EQ(frmRedrRule::subLoadCircRule(), -1);
    db().exec("alter table rule_comp_away rename to rule_comp");
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(g_varCircRule.rowCount(), rules);
    EXPECT_EQ(g_varRuleComp.rowCount(), rows);
    EXPECT_DOUBLE_EQ(g_varCircRule.number(intFindRuleIndex("A1", "01", "T1"), 22), 0.3);
    db().exec("update circ_rule set fst_fine_price = 0.10 where rule_no = 'R1'");
    EXPECT_EQ(frmRedrRule::subLoadCircRule(), 0);
}

// Keep days outside 1 .. the most: a message names the most, then the box
// offers it; days within close the dialog without a word.
TEST_F(PopupsTest, KeepDaysBeyondTheMostAreToldWithTheMost)
{
    const struct {
        const char* typed;
        bool told;
    } cases[] = {{"30", true}, {"8", true}, {"0", true}, {"", true}, {"7", false}, {"3", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        dialogs.clear();
        frmReleKeepDay k;
        k.setValues(QStringLiteral("2026-03-01"), 7);
        k.txtKeepDay->setText(QString::fromLatin1(c.typed));
        k.cmdOk->click();
        EXPECT_EQ(k.result(), c.told ? QDialog::Rejected : QDialog::Accepted);
        if (c.told) {
            ASSERT_EQ(dialogs.shown.size(), 1);
            EXPECT_EQ(dialogs.lastText(), QStringLiteral("委托保留天数应在1到7天之间！"));
            EXPECT_EQ(k.txtKeepDay->text(), "7");
        } else {
            EXPECT_TRUE(dialogs.shown.isEmpty());
        }
    }
}
