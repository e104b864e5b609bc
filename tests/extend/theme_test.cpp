// Interface themes: value types and colours, reading theme.xml, applying it
// to a window, the themes collection, and the main window's current theme.

#include "tests/extend/HostFixture.h"

#include "extend/cThemesCollection.h"
#include "shell/basForms.h"
#include "shell/basMainSettings.h"

#include "platform/text/IniFile.h"

#include "shell/frmLogin.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class ThemeTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        themes = g_strPath[0] + QStringLiteral("themes");
        QDir(themes).removeRecursively();
        QDir().mkpath(themes);
    }
    // The theme folder `name` with `xml` as its theme.xml and a picture "pic.png".
    QString makeTheme(const QString& name, const QString& xml) {
        const QString folder = themes + u'/' + name;
        QDir().mkpath(folder);
        QFile f(folder + QStringLiteral("/theme.xml"));
        f.open(QIODevice::WriteOnly);
        f.write(xml.toUtf8());
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::green);
        image.save(folder + QStringLiteral("/pic.png"));
        return folder + QStringLiteral("/theme.xml");
    }
    static QString themeXml(const QString& root, const QString& body = {}) {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<theme %1>%2</theme>\n")
            .arg(root, body);
    }
    QString themes;
};

TEST(ThemeValueTest, TypeWordsAndColours) {
    EXPECT_EQ(cTheme::intValueType(QStringLiteral("cbool")), tvtCBool);
    EXPECT_EQ(cTheme::intValueType(QStringLiteral("LONGCOLOR")), tvtLongColor);
    EXPECT_EQ(cTheme::intValueType(QStringLiteral("Picture")), tvtPicture);
    EXPECT_EQ(cTheme::intValueType(QStringLiteral("Colour")), tvtNone);
    const struct {
        const char* text;
        long rgb;
        long str;
    } cases[] = {
        {"255,0,0", 255, 0}, {"0,1,0", 256, 0},      {"12,34", 0, 0},      {"1,2,3,4", 197121, 0},
        {"a,1,1", 0, 0},     {"256,0,0", 0, 0},      {"&H0000FF", 0, 255}, {"&H000100", 0, 256},
        {"FF", 0, 0},        {"0x00FF00", 0, 65280}, {"&Hzz", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cTheme::lngRGBColor(QString::fromLatin1(c.text)), c.rgb) << c.text;
        EXPECT_EQ(cTheme::lngStrColor(QString::fromLatin1(c.text)), c.str) << c.text;
    }
}

TEST_F(ThemeTest, RootAttributesDecideWhetherAThemeIsUsable) {
    const struct {
        const char* root;
        bool ok;
    } cases[] = {
        {R"(id="Blue" name="蓝色" version="1.0" description="D" icon="pic.png" pic="PIC.PNG" url="u")", true},
        {R"(name="x")", false},
        {R"(id="" name="x")", false},
        {R"(id="x" icon="missing.png")", false},
        {R"(id="x" pic="theme.xml")", false},
    };
    for (const auto& c : cases) {
        cTheme t;
        EXPECT_EQ(t.Initialize(makeTheme(QStringLiteral("t"), themeXml(QString::fromUtf8(c.root)))), c.ok)
            << c.root;
    }
    cTheme t;
    ASSERT_TRUE(t.Initialize(makeTheme(QStringLiteral("t"), themeXml(QString::fromUtf8(cases[0].root)))));
    EXPECT_EQ(QStringList({t.ID(), t.Name, t.Version, t.Description, t.UpgradeURL}),
              (QStringList{"Blue", "蓝色", "1.0", "D", "u"}));
    EXPECT_EQ(t.ThemePath, themes + QStringLiteral("/t/"));
    EXPECT_FALSE(t.DemoIcon.isNull() || t.DemoPic.isNull());
    cTheme missing;
    EXPECT_FALSE(missing.Initialize(themes + QStringLiteral("/none/theme.xml")));
}

TEST_F(ThemeTest, EntriesApplyToTheLoadedWindowsInFileOrder) {
    QWidget form;
    form.setObjectName(QStringLiteral("frmThemeTest"));
    auto* title = new QLabel(QStringLiteral("旧"), &form);
    title->setObjectName(QStringLiteral("lblTitle"));
    auto* go0 = new QPushButton(QStringLiteral("0"), &form);
    go0->setObjectName(QStringLiteral("cmdGo_0"));
    auto* go1 = new QPushButton(QStringLiteral("1"), &form);
    go1->setObjectName(QStringLiteral("cmdGo_1"));
    auto* picture = new QLabel(&form);
    picture->setObjectName(QStringLiteral("lblPicture"));
    auto* text = new QLineEdit(&form);
    text->setObjectName(QStringLiteral("txtA"));
    form.setGeometry(0, 0, 100, 100);
    form.show();
    shell::subRegisterForm(&form);

    const QString body = QStringLiteral(R"(
  <Form id="FRMTHEMETEST">
    <FormTheme><ApplyParam>
      <Property><Name>Caption</Name><Type>String</Type><Value>主题窗口</Value></Property>
      <Property><Name>BackColor</Name><Type>RGBColor</Type><Value>0,0,255</Value></Property>
      <Property><Name>Width</Name><Type>Long</Type><Value>3000</Value></Property>
      <Method><Name>Close</Name></Method>
      <Method><Name>Move</Name><Value>150</Value><Value>300</Value></Method>
      <Method><Name>Move</Name><Value>1</Value><Value>2</Value><Value>3</Value><Value>4</Value></Method>
    </ApplyParam></FormTheme>
    <FormTheme/>
    <Controls>
      <Control id="lblTitle">
        <ApplyParam>
          <Property><Name>ForeColor</Name><Type>StrColor</Type><Value>&amp;H0000FF</Value></Property>
          <Property><Name>FontBold</Name><Type>CBool</Type><Value>True</Value></Property>
          <Property><Name>Caption</Name><Type>Unknown</Type><Value>不用</Value></Property>
          <Property><Name>Caption</Name><Type>String</Type></Property>
          <Property><Name>Caption</Name><Type>String</Type><Value>1</Value><Value>2</Value></Property>
        </ApplyParam>
        <BeforeParam><Property><Name>Caption</Name><Type>String</Type><Value>标题</Value></Property></BeforeParam>
        <ApplyParam><Property><Name>Caption</Name><Type>String</Type><Value>第二个列表不读</Value></Property></ApplyParam>
      </Control>
      <Control id="cmdGo" index="1"><ApplyParam>
        <Property><Name>Caption</Name><Type>String</Type><Value>第二</Value></Property>
        <Property><Name>Enabled</Name><Type>CBool</Type><Value>False</Value></Property>
      </ApplyParam></Control>
      <Control id="cmdGo"><ApplyParam>
        <Property><Name>Caption</Name><Type>String</Type><Value>无下标</Value></Property>
      </ApplyParam></Control>
      <Control id="lblPicture"><ApplyParam>
        <Property><Name>Picture</Name><Type>Picture</Type><Value>pic.png</Value></Property>
      </ApplyParam></Control>
      <Control id="txtA"><ApplyParam>
        <Property><Name>readonly</Name><Type>CBool</Type><Value>True</Value></Property>
        <Property><Name>NoSuchProperty</Name><Type>String</Type><Value>x</Value></Property>
        <Property><Name>Text</Name><Name>placeholderText</Name><Type>Long</Type><Type>String</Type><Value>提示</Value></Property>
      </ApplyParam></Control>
    </Controls>
  </Form>
  <Form id="frmNotLoaded"><FormTheme><ApplyParam>
    <Property><Name>Caption</Name><Type>String</Type><Value>x</Value></Property>
  </ApplyParam></FormTheme></Form>)");
    cTheme t;
    ASSERT_TRUE(t.Initialize(makeTheme(QStringLiteral("t"), themeXml(QStringLiteral("id=\"T\""), body))));
    ASSERT_TRUE(t.LoadTheme());
    EXPECT_EQ(t.entries().size(), 7);
    ASSERT_TRUE(t.ApplyTheme());

    EXPECT_EQ(form.windowTitle(), QStringLiteral("主题窗口"));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(form.width(), 200);
    EXPECT_EQ(form.geometry().topLeft(), QPoint(10, 20));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(title->text(), QStringLiteral("标题"));
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(go1->text(), QStringLiteral("第二"));
    EXPECT_TRUE(go1->isEnabled()); // a theme does not switch controls off
    EXPECT_EQ(go0->text(), QStringLiteral("0"));
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_FALSE(text->isReadOnly()); // nor make a box read-only
    EXPECT_EQ(text->placeholderText(), QStringLiteral("提示"));

    // Loading again appends the entries once more: applying replays both copies.
    ASSERT_TRUE(t.LoadTheme());
    EXPECT_EQ(t.entries().size(), 14);

    // An index that is no number ends the reading; what was read stays.
    cTheme bad;
    ASSERT_TRUE(
        bad.Initialize(makeTheme(QStringLiteral("b"), themeXml(QStringLiteral("id=\"B\""), QStringLiteral(R"(
  <Form id="f"><Controls>
    <Control id="a"><ApplyParam/></Control>
    <Control id="b" index="x"><ApplyParam/></Control>
    <Control id="c"><ApplyParam/></Control>
  </Controls></Form>)")))));
    EXPECT_FALSE(bad.LoadTheme());
    EXPECT_EQ(bad.entries().size(), 1);
}

TEST_F(ThemeTest, AThemeChangesHowTheLoginLooksNeverWhatItDoes) {
    frmLogin login;
    login.show();
    shell::subRegisterForm(&login);
    login.txtName->setValidator(new QIntValidator(0, 9999, login.txtName));
    login.txtName->setInputMask(QString());
    login.txtPwd->setText(QStringLiteral("secret"));
    const Qt::WindowFlags flags = login.windowFlags();
    const QString body = QStringLiteral(R"(
  <Form id="frmLogin">
    <FormTheme><ApplyParam>
      <Property><Name>Caption</Name><Type>String</Type><Value>蓝色登录</Value></Property>
      <Property><Name>WindowFlags</Name><Type>Long</Type><Value>0</Value></Property>
      <Property><Name>modal</Name><Type>CBool</Type><Value>False</Value></Property>
      <Property><Name>styleSheet</Name><Type>String</Type><Value>QLineEdit { qproperty-echoMode: Normal; }</Value></Property>
    </ApplyParam></FormTheme>
    <Controls>
      <Control id="txtPwd"><ApplyParam>
        <Property><Name>EchoMode</Name><Type>Long</Type><Value>0</Value></Property>
        <Property><Name>echoMode</Name><Type>String</Type><Value>Normal</Value></Property>
        <Property><Name>Caption</Name><Type>String</Type><Value>0000</Value></Property>
        <Property><Name>Text</Name><Type>String</Type><Value>0000</Value></Property>
        <Property><Name>BackColor</Name><Type>RGBColor</Type><Value>255,255,0</Value></Property>
        <Property><Name>FontSize</Name><Type>Long</Type><Value>14</Value></Property>
        <Property><Name>Width</Name><Type>Long</Type><Value>2400</Value></Property>
        <Property><Name>toolTip</Name><Type>String</Type><Value>口令</Value></Property>
      </ApplyParam></Control>
      <Control id="txtName"><ApplyParam>
        <Property><Name>ReadOnly</Name><Type>CBool</Type><Value>True</Value></Property>
        <Property><Name>inputMask</Name><Type>String</Type><Value>9999</Value></Property>
        <Property><Name>validator</Name><Type>String</Type><Value></Value></Property>
        <Property><Name>maxLength</Name><Type>Long</Type><Value>32767</Value></Property>
        <Property><Name>Enabled</Name><Type>CBool</Type><Value>False</Value></Property>
        <Property><Name>Visible</Name><Type>CBool</Type><Value>False</Value></Property>
      </ApplyParam></Control>
      <Control id="lblPwd"><ApplyParam>
        <Property><Name>Caption</Name><Type>String</Type><Value>口令：</Value></Property>
        <Property><Name>ForeColor</Name><Type>RGBColor</Type><Value>255,0,0</Value></Property>
      </ApplyParam></Control>
    </Controls>
  </Form>)");
    cTheme t;
    ASSERT_TRUE(t.Initialize(makeTheme(QStringLiteral("qnui.qorlan.lt4.login.1"),
                                       themeXml(QStringLiteral("id=\"LoginLook\""), body))));
    ASSERT_TRUE(t.LoadTheme());
    ASSERT_TRUE(t.ApplyTheme());

    // What it does stays.
    EXPECT_EQ(login.txtPwd->echoMode(), QLineEdit::Password);
    EXPECT_EQ(login.txtPwd->text(), QStringLiteral("secret"));
    EXPECT_EQ(login.txtPwd->maxLength(), 10);
    EXPECT_FALSE(login.txtName->isReadOnly());
    EXPECT_TRUE(login.txtName->isEnabled());
    EXPECT_TRUE(login.txtName->inputMask().isEmpty());
    EXPECT_NE(login.txtName->validator(), nullptr);
    EXPECT_EQ(login.txtName->maxLength(), 4);
    EXPECT_EQ(login.windowFlags(), flags);
    EXPECT_TRUE(login.styleSheet().isEmpty());
    // How it looks changes.
    EXPECT_EQ(login.windowTitle(), QStringLiteral("蓝色登录"));
    EXPECT_EQ(login.txtPwd->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(login.txtPwd->font().pointSizeF(), 14.0);
    EXPECT_EQ(login.txtPwd->toolTip(), QStringLiteral("口令"));
    EXPECT_FALSE(login.txtName->isVisible());
    EXPECT_EQ(login.lblPwd->text(), QStringLiteral("口令："));
    EXPECT_EQ(login.lblPwd->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Each refusal is in the daily log.
    const QString log = dailyLog();
    for (const char* line : {"frmLogin 的属性 WindowFlags", "frmLogin 的属性 modal", "frmLogin 的属性 styleSheet",
                             "frmLogin.txtPwd 的属性 EchoMode", "frmLogin.txtPwd 的属性 echoMode",
                             "frmLogin.txtPwd 的属性 Caption", "frmLogin.txtPwd 的属性 Text",
                             "frmLogin.txtName 的属性 ReadOnly", "frmLogin.txtName 的属性 inputMask",
                             "frmLogin.txtName 的属性 validator", "frmLogin.txtName 的属性 maxLength",
                             "frmLogin.txtName 的属性 Enabled"})
        EXPECT_TRUE(log.contains(QStringLiteral("界面主题 [LoginLook] 设置 ") + QString::fromUtf8(line) +
                                 QStringLiteral(" 被拒绝")))
            << line;
    EXPECT_FALSE(log.contains(QStringLiteral("的属性 BackColor")));
    EXPECT_FALSE(log.contains(QStringLiteral("的属性 toolTip")));
}

TEST_F(ThemeTest, TheCollectionListsTheModulesThemeFolders) {
    makeTheme(QStringLiteral("qnui.qorlan.lt4.blue.1"), themeXml(QStringLiteral("id=\"Blue\"")));
    makeTheme(QStringLiteral("QNUI.Qorlan.LT4.Blue.2.x"), themeXml(QStringLiteral("id=\"BLUE\"")));
    makeTheme(QStringLiteral("qnui.qorlan.lt4.green.1"), themeXml(QStringLiteral("id=\"Green\"")));
    makeTheme(QStringLiteral("qnui.qorlan.lt4.blue"), themeXml(QStringLiteral("id=\"Four\"")));
    makeTheme(QStringLiteral("qnui.qorlan.lt3.blue.1"), themeXml(QStringLiteral("id=\"Other\"")));
    makeTheme(QStringLiteral("qnui.qorlan.lt4.noid.1"), themeXml(QStringLiteral("id=\"\"")));
    QDir().mkpath(themes + QStringLiteral("/qnui.qorlan.lt4.empty.1"));

    cThemesCollection c;
    c.setModule(6);
    c.setConfigFile(QStringLiteral("theme.xml"));
    ASSERT_TRUE(c.LoadThemes(themes + u'/'));
    EXPECT_EQ(c.Path(), themes);
    ASSERT_EQ(c.count(), 2);
    EXPECT_EQ(c.cThemeAt(0)->ID(), QStringLiteral("Blue"));
    EXPECT_EQ(c.cThemeAt(0)->ThemePath, themes + QStringLiteral("/qnui.qorlan.lt4.blue.1/"));
    EXPECT_EQ(c.cThemeAt(1)->ID(), QStringLiteral("Green"));
    EXPECT_EQ(c.theme(QStringLiteral("GREEN")), c.cThemeAt(1));
    EXPECT_TRUE(cThemesCollection::blnIsModuleTheme(QStringLiteral("qnui.qorlan..a.b"), 12));
    EXPECT_FALSE(cThemesCollection::blnIsModuleTheme(QStringLiteral("qnui.qorlan.lt4.a.b"), 12));

    EXPECT_FALSE(c.LoadThemes(themes + QStringLiteral("/none")));
    EXPECT_EQ(c.count(), 0);
}

TEST_F(ThemeTest, TheMainWindowAppliesTheStoredThemeAndSavesItsId) {
    makeTheme(QStringLiteral("qnui.qorlan.lt4.a.1"), themeXml(QStringLiteral("id=\"First\"")));
    makeTheme(QStringLiteral("qnui.qorlan.lt4.b.1"),
              themeXml(QStringLiteral("id=\"Blue\""), QStringLiteral(R"(
  <Form id="frmMain"><FormTheme><ApplyParam>
    <Property><Name>Caption</Name><Type>String</Type><Value>蓝色主题</Value></Property>
  </ApplyParam></FormTheme></Form>)")));
    const auto styleId = [] {
        return text::getSetting(QStringLiteral("流通委托"), QStringLiteral("Settings"),
                                QStringLiteral("StyleID"));
    };
    text::saveSetting(QStringLiteral("流通委托"), QStringLiteral("Settings"), QStringLiteral("StyleID"),
                      QStringLiteral("blue"));
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(g_strStyleID, QStringLiteral("Blue"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("蓝色主题"));
    closeMain(w);
    EXPECT_EQ(styleId(), QStringLiteral("Blue"));

    // A stored ID that names no theme: the first one is applied and saved.
    text::saveSetting(QStringLiteral("流通委托"), QStringLiteral("Settings"), QStringLiteral("StyleID"),
                      QStringLiteral("Gone"));
    w = frmMain::load();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(g_strStyleID, QStringLiteral("First"));
    closeMain(w);
    EXPECT_EQ(styleId(), QStringLiteral("First"));
}

} // namespace
