// The card-reading rule window as a worker uses it: edit the segments, store
// the rule, reopen the window on it; cancel stores nothing; the desk's next
// scanned card is cut by the stored rule.

#include "app/ReaderWindows.h"
#include "common/basLTFunc.h"
#include "platform/text/IniFile.h"
#include "platform/ui/NumberBox.h"
#include "reader/frmBarReadRule.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestDatabase.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

class BarReadRuleWindowTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        g_blnBarRuleByPos = false;
        g_intBarRuleUsed = 0;
        g_arrBarRule.clear();
        QFile::remove(strBarReadRuleFile());
    }
    void TearDown() override {
        if (frmBarReadRule::loaded()) frmBarReadRule::form()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        text::saveSetting("LT", "BarReadRule", "Type", "False");
        text::saveSetting("LT", "BarReadRule", "Used", "0");
        DatabaseTest::TearDown();
    }

    static frmBarReadRule* open() {
        app::readerWindows().showBarReadRule(nullptr);
        return frmBarReadRule::form();
    }
    static void add(frmBarReadRule* f, const char* start, const char* length) {
        f->txtStart->setText(QString::fromLatin1(start));
        f->txtLength->setText(QString::fromLatin1(length));
        f->cmdNew->click();
    }
    static QStringList lines(frmBarReadRule* f) {
        QStringList out;
        for (int i = 0; i < f->lstContent->count(); ++i)
            out << f->lstContent->item(i)->text();
        return out;
    }
};

} // namespace

TEST_F(BarReadRuleWindowTest, EditStoreReopenAndCancel) {
    frmBarReadRule* f = open();
    // The default rule: separator format, off, no segments.
    EXPECT_TRUE(f->optType[1]->isChecked());
    EXPECT_FALSE(f->chkBarReadRule->isChecked());
    EXPECT_EQ(f->lstContent->count(), 0);

    add(f, "20", "2");
    add(f, "3", "8");
    add(f, "12", "4");
    add(f, "", "4");
    EXPECT_EQ(f->lstContent->count(), 3);
    add(f, "0", "4");
    EXPECT_EQ(f->lstContent->count(), 3);
    EXPECT_FALSE(dialogs.lastText().isEmpty());
    // Delete with nothing selected does nothing; deleting 01 renumbers the rest.
    f->cmdDelete->click();
    EXPECT_EQ(f->lstContent->count(), 3);
    f->lstContent->setCurrentRow(0);
    f->cmdDelete->click();
    EXPECT_EQ(lines(f), (QStringList{"01        3             8", "02        12            4"}));

    f->optType[0]->click();
    f->chkBarReadRule->setChecked(true);
    QPointer<frmBarReadRule> guard = f;
    f->cmdOk->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(testsupport::readBytes(strBarReadRuleFile()), QByteArray("3,8\r\n12,4\r\n"));
    EXPECT_EQ(text::getSetting("LT", "BarReadRule", "Type", ""), "True");
    EXPECT_EQ(text::getSetting("LT", "BarReadRule", "Used", ""), "1");
    // The desk's next card is cut by the rule.
    EXPECT_EQ(strApplyBarReadRule("AB12345678CDEFGH"), "12345678DEFG");

    // Reopened on the stored rule; cancel after editing stores nothing.
    f = open();
    EXPECT_TRUE(f->optType[0]->isChecked());
    EXPECT_TRUE(f->chkBarReadRule->isChecked());
    EXPECT_EQ(lines(f), (QStringList{"01        3             8", "02        12            4"}));
    add(f, "1", "1");
    f->optType[1]->click();
    f->cmdCancel->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmBarReadRule::loaded());
    EXPECT_EQ(testsupport::readBytes(strBarReadRuleFile()), QByteArray("3,8\r\n12,4\r\n"));
    EXPECT_TRUE(g_blnBarRuleByPos);
    EXPECT_EQ(text::getSetting("LT", "BarReadRule", "Type", ""), "True");
}
