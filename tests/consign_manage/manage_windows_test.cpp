// The thin windows over the management logic, driven offscreen.

#include "ManageFixture.h"

#include "common/basEnv.h"
#include "consign/ManageService.h"
#include "consign/basEmail.h"
#include "consign/frmApplyManage.h"
#include "consign/frmEmail.h"
#include "consign/frmEmailOption.h"
#include "consign/frmFindManage.h"
#include "consign/frmKeepDaysEdit.h"
#include "shell/basLT4Add.h"
#include "shell/basLogin.h"
#include "tests/support/BadInput.h"
#include "tests/support/Keyboard.h"
#include "tests/support/Windows.h"

#include "platform/ui/CommandBar.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

class ManageWindowsTest : public ManageTest {
protected:
    static void SetUpTestSuite() {
        static QTemporaryDir settings;
        qputenv("CONSIGN_SETTINGS_DIR", settings.path().toUtf8());
    }
    void TearDown() override {
        consign::manageService().unloadAll();
        testsupport::deleteTopLevelWindows();
        consign::g_sendMail = &mail::Session::send;
        ManageTest::TearDown();
    }
    static void choose(QComboBox* cmb, const QString& name) {
        const int i = cmb->findText(name);
        ASSERT_GE(i, 0);
        cmb->setCurrentIndex(i);
        emit cmb->activated(i);
    }
};

TEST_F(ManageWindowsTest, QueueWindowListsEditsAndMoves) {
    consign::manageService().showApplyManage(nullptr);
    frmApplyManage* w = frmApplyManage::instance();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "委托申请管理");
    EXPECT_EQ(w->cmbLocation->count(), 5); // the desk locations, no "all" entry
    EXPECT_EQ(w->cmbLocation->currentIndex(), -1);
    EXPECT_EQ(w->spdBook->maxRows(), 0);
    QStringList keys;
    for (ui::CommandItem* it : w->tbFindManage->menu("Standard")->items())
        keys << it->key();
    EXPECT_EQ(keys, (QStringList{"Split1", "Search", "Split2", "Modify", "Delete", "Up", "Down", "Split3",
                                 "DeleteOld", "DeleteAllOld", "Split4"}));

    choose(w->cmbLocation, "总馆书库");
    int row = 0;
    for (int r = 1; r <= w->spdBook->maxRows(); ++r)
        if (w->spdBook->getText(1, r) == "TP393/S91") row = r;
    ASSERT_GT(row, 0);
    emit w->spdBook->cellClick(1, row);
    ASSERT_EQ(w->spdReader->maxRows(), 1);
    EXPECT_EQ(w->spdReader->getText(1, 1), "DR15");
    EXPECT_EQ(w->spdReader->rowForeColor(1), QColor(255, 0, 0)); // expired

    // Modify: an emptied box brings the old days back; 10 days from the request date.
    const QString begin = w->spdReader->getText(5, 1);
    QStringList seen;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* edit = qobject_cast<frmKeepDaysEdit*>(d);
        edit->txtNewKeepDay->setText("");
        edit->cmdOK->click();
        seen << edit->txtNewKeepDay->text() << edit->lblEndDate->text();
        edit->txtNewKeepDay->setText("10");
        edit->cmdOK->click();
        return 1;
    };
    w->tbFindManage_ButtonClick("Modify");
    EXPECT_EQ(seen, (QStringList{"7", consign::strKeepEndDate(begin, "7")}));
    EXPECT_EQ(w->spdReader->getText(6, 1), "10");
    EXPECT_EQ(w->spdReader->getText(7, 1), consign::strKeepEndDate(begin, "10"));

    // Cancel writes nothing.
    dialogs.dialogHandler = [](QDialog* d) {
        qobject_cast<frmKeepDaysEdit*>(d)->cmdCancel->click();
        return 0;
    };
    w->tbFindManage_ButtonClick("Modify");
    EXPECT_EQ(db().scalar("select relegate_keep_days from relegate_lst where cert_id = 'DR15' and call_no = "
                          "'TP393/S91' and relegate_flag = '0'"),
              "10");
}

TEST_F(ManageWindowsTest, FoundCopyWindowCancelsAndChecksTheMailSettings) {
    consign::manageService().showFindManage(nullptr);
    frmFindManage* w = frmFindManage::instance();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "委托划到管理");
    w->tbFindManage_ButtonClick("Email"); // an empty list: nothing
    EXPECT_TRUE(dialogs.shown.isEmpty());
    choose(w->cmbLocation, "总馆书库");
    int row = 0;
    for (int r = 1; r <= w->spdBook->maxRows(); ++r)
        if (w->spdBook->getText(2, r) == "P500003") row = r;
    ASSERT_GT(row, 0);
    EXPECT_EQ(w->spdBook->getText(4, row), "DR13");

    g_strSmtpAddress.clear();
    w->tbFindManage_ButtonClick("Email");
    EXPECT_EQ(shown(), "请设置好SMTP服务器地址。");

    // With the settings, the notice window opens for the location and sends.
    g_strSmtpAddress = "127.0.0.1:25";
    g_strEmailAddress = "desk@library.example";
    g_intEmailBak = 0;
    QStringList sentTo;
    consign::g_sendMail = [&](mail::Session&, const mail::Message& m) {
        sentTo << m.to;
        return mail::SendResult{mail::SendStatus::Sent, {}};
    };
    QString location;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* mailWindow = qobject_cast<frmEmail*>(d);
        location = mailWindow->m_strLocation;
        mailWindow->dtpBeginDate->setDate(QDate::fromString(dayOffset(-2), "yyyy-MM-dd"));
        mailWindow->dtpEndDate->setDate(QDate::fromString(dayOffset(-2), "yyyy-MM-dd"));
        mailWindow->cmdSend->click();
        return mailWindow->result();
    };
    w->tbFindManage_ButtonClick("Email");
    EXPECT_EQ(location, "A1");
    EXPECT_TRUE(sentTo.contains("dr13@library.example")) << sentTo.join(",").toStdString();
    EXPECT_TRUE(shown().startsWith("共有符合条件的读者")) << shown().toStdString();

    w->spdBook->setActiveCell(1, row);
    dialogs.answers << ui::BoxAnswer::Ok;
    w->tbFindManage_ButtonClick("Delete");
    EXPECT_EQ(db().scalar("select relegate_end_flag from relegate_arri_lst where prop_no = 'P500003'"), "4");
    for (int r = 1; r <= w->spdBook->maxRows(); ++r)
        EXPECT_NE(w->spdBook->getText(2, r), "P500003");
}

TEST_F(ManageWindowsTest, MailOptionsWindowStoresWhatWasTyped) {
    QDir().mkpath(varGetSysInfo(14).toString() + "Lt");
    g_strSmtpAddress = "old.example";
    g_intSmtpAuth = 0;
    g_strEmailBody = "旧正文";
    consign::manageService().showEmailOption(nullptr);
    frmEmailOption* w = frmEmailOption::instance();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->txtSmtpAddress->text(), "old.example");
    EXPECT_EQ(w->txtBody->toPlainText(), "旧正文");
    EXPECT_FALSE(w->txtUser->isEnabled());
    w->chkSmtp->click();
    EXPECT_TRUE(w->txtUser->isEnabled());

    w->cmdNew->click();
    EXPECT_EQ(w->spdName->getText(2, 1), "默认签名");
    w->txtName->setPlainText("*");
    w->cmdOk->click();
    EXPECT_TRUE(w->isVisible()); // refused: the window stays
    EXPECT_EQ(dialogs.shown.size(), 1);

    w->txtName->setPlainText("流通部");
    w->txtSmtpAddress->setText(" smtp.library.example ");
    w->txtBody->setPlainText("新正文");
    w->cmdOk->click();
    EXPECT_EQ(g_strSmtpAddress, "smtp.library.example");
    EXPECT_EQ(g_intSmtpAuth, 1);
    EXPECT_EQ(g_strEmailSign, "流通部");
    EXPECT_EQ(g_strEmailBody, "新正文");
}

// Bad input (tests/support/BadInput.h) typed into every box of the mail
// options window: OK stores it as typed (trimmed), no message.
TEST_F(ManageWindowsTest, MailOptionsWindowStoresBadTextsAsTyped) {
    QDir().mkpath(varGetSysInfo(14).toString() + "Lt");
    const auto line = [](QLineEdit* box) { return [box](const QString& t) { box->setText(t); }; };
    const auto plain = [](QPlainTextEdit* box) { return [box](const QString& t) { box->setPlainText(t); }; };
    for (int k = 0; k < 6; ++k) {
        for (const QString& t : testsupport::badTexts()) {
            SCOPED_TRACE(std::to_string(k) + " " + t.left(20).toUtf8().toHex().toStdString());
            dialogs.clear();
            consign::manageService().showEmailOption(nullptr);
            frmEmailOption* w = frmEmailOption::instance();
            ASSERT_TRUE(w);
            if (w->spdName->maxRows() == 0) w->cmdNew->click();
            if (!w->chkSmtp->isChecked()) w->chkSmtp->click();
            const struct {
                std::function<void(const QString&)> type;
                const QString& stored;
            } boxes[] = {
                {line(w->txtSmtpAddress), g_strSmtpAddress}, {line(w->txtEmailAddress), g_strEmailAddress},
                {line(w->txtUser), g_strSmtpUser},           {line(w->txtPassword), g_strSmtpPassword},
                {plain(w->txtName), g_strEmailSign},         {plain(w->txtBody), g_strEmailBody},
            };
            boxes[k].type(t);
            w->cmdOk->click();
            EXPECT_TRUE(dialogs.shown.isEmpty()) << shownTexts().join('|').toStdString();
            EXPECT_EQ(boxes[k].stored, t.trimmed());
            consign::manageService().unloadAll();
        }
    }
}

// Bad input (tests/support/BadInput.h) typed or pasted into the keep-days box
// of both edit dialogs: the box takes digits only, so OK finds it empty, puts
// the old days back and stays open; cancelled, nothing is written.
TEST_F(ManageWindowsTest, KeepDaysBoxesTakeNoBadInput) {
    consign::manageService().showApplyManage(nullptr);
    frmApplyManage* queue = frmApplyManage::instance();
    consign::manageService().showFindManage(nullptr);
    frmFindManage* found = frmFindManage::instance();
    ASSERT_TRUE(queue && found);
    choose(queue->cmbLocation, "总馆书库");
    ASSERT_GT(queue->spdBook->maxRows(), 0);
    emit queue->spdBook->cellClick(1, 1);
    ASSERT_GT(queue->spdReader->maxRows(), 0);
    choose(found->cmbLocation, "总馆书库");
    ASSERT_GT(found->spdBook->maxRows(), 0);

    const auto modify = [&](const std::function<void()>& open) {
        return [&, open](const QString& t) {
            bool kept = false;
            dialogs.dialogHandler = [&](QDialog* d) {
                auto* edit = qobject_cast<frmKeepDaysEdit*>(d);
                const QString old = edit->lblOldKeepDay->text();
                edit->txtNewKeepDay->clear();
                edit->txtNewKeepDay->insert(t);
                edit->cmdOK->click();
                kept = !g_blnDlgOk && edit->txtNewKeepDay->text() == old;
                if (!g_blnDlgOk) edit->cmdCancel->click();
                return int(g_blnDlgOk);
            };
            open();
            dialogs.dialogHandler = {};
            return kept ? 1 : 0;
        };
    };
    testsupport::expectOrdinaryAnswers(db(), dialogs, "request keep days",
                                       modify([&] { queue->tbFindManage_ButtonClick("Modify"); }), {});
    testsupport::expectOrdinaryAnswers(db(), dialogs, "found keep days",
                                       modify([&] { found->tbFindManage_ButtonClick("Modify"); }), {});
    EXPECT_TRUE(invariants().isEmpty());
}

// The management windows and the mail options without the mouse: every bar
// item and the signature buttons answer a mnemonic of their own.
TEST_F(ManageWindowsTest, BarsAndSignatureButtonsByKeyboard) {
    consign::manageService().showApplyManage(nullptr);
    frmApplyManage* queue = frmApplyManage::instance();
    ASSERT_TRUE(queue);
    ASSERT_TRUE(testsupport::activate(queue));
    testsupport::expectBarKeyed(queue, queue->tbFindManage);
    queue->cmbLocation->setFocus();
    EXPECT_EQ(testsupport::pressMnemonic(queue->tbFindManage, Qt::Key_U), "Up");
    EXPECT_EQ(testsupport::pressMnemonic(queue->tbFindManage, Qt::Key_N), "Down");

    consign::manageService().showFindManage(nullptr);
    frmFindManage* found = frmFindManage::instance();
    ASSERT_TRUE(found);
    ASSERT_TRUE(testsupport::activate(found));
    testsupport::expectBarKeyed(found, found->tbFindManage);
    found->cmbLocation->setFocus();
    EXPECT_EQ(testsupport::pressMnemonic(found->tbFindManage, Qt::Key_E), "Email"); // an empty list: nothing
    EXPECT_TRUE(dialogs.shown.isEmpty());

    QDir().mkpath(varGetSysInfo(14).toString() + "Lt");
    consign::manageService().showEmailOption(nullptr);
    frmEmailOption* mail = frmEmailOption::instance();
    ASSERT_TRUE(mail);
    mail->stEmailOption->setCurrentIndex(1);
    ASSERT_TRUE(testsupport::activate(mail));
    const int rows = mail->spdName->maxRows();
    for (QPushButton* b : {mail->cmdNew, mail->cmdDelete, mail->cmdDefault})
        EXPECT_FALSE(QKeySequence::mnemonic(b->text()).isEmpty()) << b->text().toStdString();
    mail->txtName->setFocus();
    QTest::keyClick(mail->txtName, Qt::Key_N, Qt::AltModifier);
    for (int i = 0; i < 40 && mail->spdName->maxRows() == rows; ++i)
        QTest::qWait(25);
    EXPECT_EQ(mail->spdName->maxRows(), rows + 1);
}
