// The splash and log-in window: layouts, the worker-number box, the exit
// link, logging in and changing the password through the window.

#include "tests/shell/ShellFixture.h"

#include "shell/frmCircLogo.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class LogoTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        logo = frmCircLogo::create();
    }
    void TearDown() override
    {
        delete logo.data();
        ShellTest::TearDown();
    }
    template <class T = QWidget>
    T* child(const char* name)
    {
        T* w = logo->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    bool shown(const char* name) { return child(name)->isVisibleTo(logo.data()); }
    QComboBox* user() { return child<QComboBox>("cboUser"); }
    QLineEdit* pwd() { return child<QLineEdit>("txtPwd"); }

    QPointer<frmCircLogo> logo;
};

TEST_F(LogoTest, LayoutsShowTheirControls)
{
    const char* loginControls[] = {"lblUser", "lblPwd", "cboUser", "txtPwd", "cmdLogin", "lblUpdate"};
    const char* changeControls[] = {"lblNewPwd", "lblPwdConfirm", "txtNewPwd", "txtPwdConfirm", "cmdSave",
                                    "cmdCancel"};
    const char* aboutControls[] = {"lblLib", "lblModule", "lblVersion", "lblViewLicense", "lblViewUpdate"};
    struct Case {
        QString mode;
        bool login, change, about, exit;
    } cases[] = {
        {QString(), false, false, false, false},
        {QStringLiteral("其他"), false, false, false, false},
        {QStringLiteral("登录"), true, false, false, true},
        {QStringLiteral("修改密码"), false, true, false, false},
        {QStringLiteral("关于"), false, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode.toStdString());
        logo->subSetLogoMode(c.mode);
        for (const char* n : loginControls)
            EXPECT_EQ(shown(n), c.login) << n;
        for (const char* n : changeControls)
            EXPECT_EQ(shown(n), c.change) << n;
        for (const char* n : aboutControls)
            EXPECT_EQ(shown(n), c.about) << n;
        EXPECT_EQ(shown("lblExit"), c.exit);
        EXPECT_TRUE(shown("lblStatus"));
    }
    EXPECT_EQ(child<QLabel>("lblExit")->text(), QStringLiteral("关闭"));
    for (const char* link : {"lblUpdate", "lblExit"})
        EXPECT_EQ(child<QLabel>(link)->palette().color(QPalette::WindowText), QColor(27, 164, 24)) << link;
    EXPECT_EQ(child<QLabel>("lblModule")->text(), QStringLiteral("流通委托"));
    EXPECT_EQ(child<QLabel>("lblLib")->text(), varGetSysPara(1).toString());
    EXPECT_EQ(frmCircLogo::strVersionText(3, 5, 12), QStringLiteral("3.5.0012"));
    EXPECT_EQ(frmCircLogo::strVersionText(3, 5, 7), QStringLiteral("3.5.0007"));

    // Leaving the password change empties the new boxes and keeps number and password.
    logo->subSetLogoMode(QStringLiteral("登录"));
    user()->setEditText(QStringLiteral("0001"));
    pwd()->setText(QStringLiteral("ABC"));
    logo->subSetLogoMode(QStringLiteral("修改密码"));
    child<QLineEdit>("txtNewPwd")->setText(QStringLiteral("x"));
    child<QLineEdit>("txtPwdConfirm")->setText(QStringLiteral("y"));
    child<QPushButton>("cmdCancel")->click();
    EXPECT_EQ(logo->mode(), QStringLiteral("登录"));
    EXPECT_TRUE(child<QLineEdit>("txtNewPwd")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtPwdConfirm")->text().isEmpty());
    EXPECT_EQ(user()->currentText(), QStringLiteral("0001"));
    EXPECT_EQ(pwd()->text(), QStringLiteral("ABC"));
}

TEST_F(LogoTest, WorkerNumberTakesFourCharacters)
{
    logo->subSetLogoMode(QStringLiteral("登录"));
    logo->show();
    QLineEdit* edit = user()->lineEdit();
    QTest::keyClicks(edit, QStringLiteral("00123"));
    EXPECT_EQ(edit->text(), QStringLiteral("0012"));
    QTest::keyClick(edit, Qt::Key_Period);
    EXPECT_EQ(edit->text(), QStringLiteral("0012."));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QStringLiteral("9"));
    EXPECT_EQ(edit->text(), QStringLiteral("0019"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("7"));
    EXPECT_EQ(edit->text(), QStringLiteral("7"));
}

TEST_F(LogoTest, AboutBoxClosesWhenAnotherWindowIsActivated)
{
    logo->subSetLogoMode(QStringLiteral("关于"));
    logo->show();
    QEvent deactivated(QEvent::ActivationChange);
    QApplication::sendEvent(logo.data(), &deactivated);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(logo.isNull());
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // The log-in layout stays whatever is activated; Escape does not close it.
    logo = frmCircLogo::create();
    logo->subSetLogoMode(QStringLiteral("登录"));
    logo->show();
    QApplication::sendEvent(logo.data(), &deactivated);
    QTest::keyClick(logo.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(logo.isNull());
    EXPECT_TRUE(logo->isVisible());
}

TEST_F(LogoTest, ExitLinkAsksFirst)
{
    logo->subSetLogoMode(QStringLiteral("登录"));
    dialogs.answers = {ui::BoxAnswer::Cancel};
    logo->lblExit_Click();
    EXPECT_EQ(shownTexts(), QStringList{msg("QCM501")});
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(logo.isNull());

    dialogs.answers = {ui::BoxAnswer::Ok};
    logo->lblExit_Click();
    EXPECT_EQ(ends, 1); // the first log-in: the program ends
}

TEST_F(LogoTest, LoginThroughTheWindowOpensTheMainWindow)
{
    logo->subSetLogoMode(QStringLiteral("登录"));
    logo->show();
    user()->setEditText(QStringLiteral("0001"));
    pwd()->setText(QStringLiteral("wrong"));
    child<QPushButton>("cmdLogin")->click();
    EXPECT_EQ(shownTexts(), QStringList{msg("ECM502")});
    EXPECT_FALSE(logo->isBusy());
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), QStringLiteral("用户登录"));
    EXPECT_EQ(frmMain::instance(), nullptr);

    // No right to the program: refused, the window stays and the exit link still asks.
    dialogs.clear();
    user()->setEditText(QStringLiteral("0004"));
    pwd()->setText(QStringLiteral("0004"));
    QTest::keyClick(pwd(), Qt::Key_Return);
    EXPECT_EQ(shownTexts(), QStringList{msg("ECM504")});
    EXPECT_FALSE(logo->isBusy());
    EXPECT_EQ(ends, 0);

    dialogs.clear();
    user()->setEditText(QStringLiteral("0001"));
    pwd()->setText(QStringLiteral("abc"));
    child<QPushButton>("cmdLogin")->click();
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText().toStdString();
    ASSERT_NE(frmMain::instance(), nullptr);
    EXPECT_TRUE(frmMain::instance()->isVisible());
    EXPECT_TRUE(frmMain::instance()->isMaximized());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(logo.isNull());
    EXPECT_EQ(ends, 0);
}

TEST_F(LogoTest, NotADeskComputerEndsTheProgram)
{
    setComputer("DESK03");
    logo->subSetLogoMode(QStringLiteral("登录"));
    user()->setEditText(QStringLiteral("0001"));
    pwd()->setText(QStringLiteral("ABC"));
    child<QPushButton>("cmdLogin")->click();
    EXPECT_EQ(shownTexts(), QStringList{msg("ILT003")});
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(frmMain::instance(), nullptr);
}

TEST_F(LogoTest, FailedMainWindowLoadEndsTheProgramWithoutTheExitQuestion)
{
    logo->subSetLogoMode(QStringLiteral("登录"));
    user()->setEditText(QStringLiteral("0001"));
    pwd()->setText(QStringLiteral("ABC"));
    db().exec("alter table location_lst rename to location_lst_gone");
    child<QPushButton>("cmdLogin")->click();
    db().exec("alter table location_lst_gone rename to location_lst");
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(frmMain::instance(), nullptr);
    EXPECT_FALSE(shownTexts().contains(msg("QCM000")));
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
}

TEST_F(LogoTest, PasswordChangeThroughTheWindow)
{
    logo->subSetLogoMode(QStringLiteral("登录"));
    logo->show();
    // F1 with both boxes empty: a warning, the layout stays.
    QTest::keyClick(logo.data(), Qt::Key_F1);
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("请输入正确的名称以及口令！")});
    EXPECT_EQ(logo->mode(), QStringLiteral("登录"));

    dialogs.clear();
    user()->setEditText(QStringLiteral("0002"));
    pwd()->setText(QStringLiteral("1234"));
    QTest::keyClick(logo.data(), Qt::Key_F1);
    ASSERT_EQ(logo->mode(), QStringLiteral("修改密码"));
    child<QLineEdit>("txtNewPwd")->setText(QStringLiteral(" new5 "));
    child<QLineEdit>("txtPwdConfirm")->setText(QStringLiteral(" new5 "));
    child<QPushButton>("cmdSave")->click();
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("成功修改登录口令！")});
    EXPECT_EQ(logo->mode(), QStringLiteral("登录"));
    EXPECT_EQ(pwd()->text(), QStringLiteral("new5"));
    EXPECT_EQ(db().scalar("select password from lib_worker where wkr_no = '0002'"), QStringLiteral("NEW5"));
    db().exec("update lib_worker set password = '1234' where wkr_no = '0002'");
}

TEST_F(LogoTest, WindowsRenderTheirChineseText)
{
    // Pictures for a person to look at: CONSIGN_GRAB_DIR names the folder.
    const QString dir = qEnvironmentVariable("CONSIGN_GRAB_DIR");
    logo->subSetLogoMode(QStringLiteral("登录"));
    logo->subShowStatus(QStringLiteral("用户登录"));
    logo->show();
    user()->setEditText(QStringLiteral("0001"));
    const QImage login = logo->grab().toImage();
    EXPECT_EQ(login.size(), logo->size());
    // Every control lies inside the window.
    for (QWidget* w : logo->findChildren<QWidget*>()) {
        if (w->isVisibleTo(logo.data()) && w->parentWidget() == logo.data()) {
            EXPECT_TRUE(logo->rect().contains(w->geometry())) << w->objectName().toStdString();
        }
    }
    logo->subSetLogoMode(QStringLiteral("关于"));
    const QImage about = logo->grab().toImage();
    if (!dir.isEmpty()) {
        login.save(dir + QStringLiteral("/login.png"));
        about.save(dir + QStringLiteral("/about.png"));
        logo->subSetLogoMode(QStringLiteral("登录"));
        user()->setEditText(QStringLiteral("0001"));
        pwd()->setText(QStringLiteral("ABC"));
        child<QPushButton>("cmdLogin")->click();
        ASSERT_NE(frmMain::instance(), nullptr);
        frmMain::instance()->resize(900, 560);
        frmMain::instance()->menuCommandBar()->item(QStringLiteral("mnuConsign"));
        frmMain::instance()->grab().save(dir + QStringLiteral("/main.png"));
    }
}

} // namespace
