// Add-in descriptions: what cAddin reads, the imports it registers and
// refuses, and the host paths of extension points.

#include "tests/extend/AddinFixture.h"

#include "extend/cAddin.h"
#include "extend/mRegisterTypeLib.h"

#include <QImage>

using namespace extend;

namespace {

class AddinDescriptionTest : public AddinTest {
protected:
    QString file(const QString& name) const { return addins + u'/' + name + QStringLiteral("/addin.xml"); }
};

TEST_F(AddinDescriptionTest, AFullDescriptionIsReadInDocumentOrder) {
    const QString body = import() + QStringLiteral(R"(
  <Requires><Anything at="all"/></Requires>
  <runtime><IMPORT assembly="%1" class="TestAddinLib.Recorder"/>
           <Import assembly="%1" class="TestAddinLib.Failer"/></runtime>
  <Initialize><Process shortcut="[Interface(A)]" class="TestAddinLib.Recorder"/>
              <Process class="X"/></Initialize>
  <Initialize><Process shortcut="[Interface(B)]" class="Y"/></Initialize>
  <Option SHORTCUT="[Interface(Opt)]" other="1"/>
  <Option class="TestAddinLib.Recorder"/>
  <Extension path="%frmMain%\%MainMenu%\mnuTool">
    <MenuItem id="a" Label="甲"/><!-- a comment -->
    <Separator/>
  </Extension>
  <Extension path="%frmMain%\%Toolbar%\Standard"/>
  <Unknown/>)")
                                        .arg(recorder());
    makeAddin(QStringLiteral("full"),
              description(QStringLiteral(R"(id="full" name="全部" version="1.2" provider="P"
        icon="icon.png" pic="missing.png" url="http://x" description="D")"),
                          body));
    QImage(4, 4, QImage::Format_RGB32).save(addins + QStringLiteral("/full/icon.png"));

    cAddin a;
    ASSERT_EQ(a.Initialize(file(QStringLiteral("full")), true), 0);
    EXPECT_EQ(QStringList({a.ID, a.Name, a.Version, a.Provider, a.UpgradeURL, a.Description}),
              (QStringList{"full", "全部", "1.2", "P", "http://x", "D"}));
    EXPECT_EQ(a.AddinPath(), addins + QStringLiteral("/full"));
    EXPECT_EQ(a.AddinFileName, file(QStringLiteral("full")));
    EXPECT_FALSE(a.DemoIcon.isNull());
    EXPECT_TRUE(a.DemoPic.isNull());
    EXPECT_EQ(a.Status(), 0);

    // The first import of a class wins; every assembly holds its object.
    ASSERT_EQ(a.assemblyCount(), 2);
    EXPECT_EQ(a.assemblyAt(0)->ClassName, QStringLiteral("TestAddinLib.Recorder"));
    EXPECT_EQ(a.assemblyAt(1)->ClassName, QStringLiteral("TestAddinLib.Failer"));
    EXPECT_TRUE(a.assemblyAt(0)->hasObject() && a.assemblyAt(1)->hasObject());
    EXPECT_EQ(a.GetAssemblyByKey(QStringLiteral("testaddinlib.failer")), a.assemblyAt(1));
    EXPECT_EQ(a.GetAssemblyByKey(QStringLiteral("Nobody")), nullptr);
    EXPECT_EQ(a.assemblyAt(0)->AssemblyFile, addins + QStringLiteral("/full/") + recorder());
    EXPECT_EQ(intTypeLibRegistered(a.assemblyAt(0)->AssemblyFile), 1);

    QStringList init;
    for (const cAddinShortCut& s : a.AddinInitProcess())
        init << s.ShortCut + u'|' + s.ClassName;
    EXPECT_EQ(init, (QStringList{"[Interface(A)]|TestAddinLib.Recorder", "|X", "[Interface(B)]|Y"}));
    ASSERT_TRUE(a.AddinOption);
    EXPECT_EQ(a.AddinOption->ShortCut, QStringLiteral("[Interface(Opt)]"));
    EXPECT_EQ(a.AddinOption->ClassName, QStringLiteral("TestAddinLib.Recorder"));

    ASSERT_EQ(a.extensionCount(), 2);
    const cExtension* menu = a.extensionAt(0);
    ASSERT_EQ(menu->itemCount(), 2);
    EXPECT_EQ(menu->itemAt(0)->ItemKey(), QStringLiteral("MenuItem"));
    EXPECT_EQ(menu->itemAt(0)->GetAttributeValue(QStringLiteral("label"), QStringLiteral("-")),
              QStringLiteral("甲"));
    EXPECT_EQ(menu->itemAt(1)->GetAttributeValue(QStringLiteral("id"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_EQ(a.extensionAt(1)->itemCount(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(AddinDescriptionTest, RootOnlyReadingAndUnreadableDescriptions) {
    makeAddin(QStringLiteral("caps"),
              description(QStringLiteral(R"(ID="caps" Name="n" name="m")"), import()));
    cAddin caps;
    ASSERT_EQ(caps.Initialize(file(QStringLiteral("caps")), false), 0);
    EXPECT_EQ(caps.ID, QString());
    EXPECT_EQ(caps.Name, QStringLiteral("m"));
    EXPECT_EQ(caps.assemblyCount(), 0);
    EXPECT_EQ(intTypeLibRegistered(addins + QStringLiteral("/caps/") + recorder()), 0);

    makeAddin(QStringLiteral("bad"), QStringLiteral("<addin id=\"bad\"><Runtime></addin>"));
    const QString cases[] = {file(QStringLiteral("bad")), file(QStringLiteral("none"))};
    for (const QString& f : cases) {
        cAddin a;
        EXPECT_EQ(a.Initialize(f, true), -1);
        EXPECT_EQ(a.AddinFileName, f);
        EXPECT_EQ(a.AddinPath(), QFileInfo(f).path());
        EXPECT_TRUE(a.ID.isEmpty());
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(AddinDescriptionTest, ImportsThatCannotBeRegisteredAreSkipped) {
    const QString outside = QStringLiteral("/tmp/") + recorder();
    const struct {
        QString assembly;
        QStringList libraries;
    } cases[] = {
        {fileName(NOINFO_ADDIN), {QString::fromUtf8(NOINFO_ADDIN)}},
        {fileName(OTHERVERSION_ADDIN), {QString::fromUtf8(OTHERVERSION_ADDIN)}},
        {QStringLiteral("missing.so"), {}},
        {outside, {}},
        {QStringLiteral("../full/") + recorder(), {}},
        {QStringLiteral("sub\\..\\..\\full\\") + recorder(), {}},
        {QString(), {}},
    };
    // A library in a neighbouring folder, which an import must not reach.
    makeAddin(QStringLiteral("full"), QStringLiteral("<addin/>"));
    QFile::copy(QString::fromUtf8(RECORDER_ADDIN), outside);
    for (const auto& c : cases) {
        dialogs.clear();
        const QString xml =
            description(QStringLiteral("id=\"x\""),
                        QStringLiteral("<Runtime><Import assembly=\"%1\" class=\"TestAddinLib.Recorder\"/>"
                                       "</Runtime><Initialize><Process shortcut=\"s\"/></Initialize>")
                            .arg(c.assembly));
        makeAddin(QStringLiteral("x"), xml, c.libraries);
        cAddin a;
        EXPECT_EQ(a.Initialize(file(QStringLiteral("x")), true), 0) << c.assembly.toStdString();
        EXPECT_EQ(a.assemblyCount(), 0) << c.assembly.toStdString();
        EXPECT_EQ(a.AddinInitProcess().size(), 1);
        ASSERT_EQ(dialogs.shown.size(), 1) << c.assembly.toStdString();
        EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("注册") + c.assembly + QStringLiteral("文件失败"));
        EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("提示"));
        EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    }
    QFile::remove(outside);
    EXPECT_TRUE(sys::RegistryStore().subkeyNames(sys::HKEY_CLASSES_ROOT, QStringLiteral("CLSID")).isEmpty());
}

TEST_F(AddinDescriptionTest, AClassTheLibraryCannotCreateIsReportedOnce) {
    makeAddin(QStringLiteral("x"),
              description(QStringLiteral("id=\"x\""), import(QStringLiteral("TestAddinLib.Nobody"))));
    cAddin a;
    ASSERT_EQ(a.Initialize(file(QStringLiteral("x")), true), 0);
    ASSERT_EQ(a.assemblyCount(), 1);
    EXPECT_FALSE(a.assemblyAt(0)->hasObject());
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("装载TestAddinLib.Nobody对象失败！")});
    EXPECT_EQ(dialogs.shown.value(0).title, QStringLiteral("错误提示"));
    // Release and unregistration of an assembly without an object.
    a.assemblyAt(0)->Release();
    a.assemblyAt(0)->Release();
    EXPECT_TRUE(a.assemblyAt(0)->UnRegisteLibrary());
    EXPECT_FALSE(a.assemblyAt(0)->UnRegisteLibrary());
}

TEST(ExtensionPathTest, ValidPathAndChildKey) {
    const struct {
        const char* path;
        const char* asked;
        bool valid;
    } valid[] = {
        {"A\\B\\C", "A\\B\\C", true},
        {"A\\B\\C", "a\\b", true},
        {"A\\B\\C", "A", true},
        {"A\\B\\C", "A\\B\\", false},
        {"A\\B\\C", "A\\B\\CD", false},
        {"A\\BC", "A\\B", false},
        {"", "", true},
        {"\\A", "", true},
        {"A", "", false},
        {"%frmMain%", "%frmMain%\\%MainMenu%", false},
    };
    for (const auto& c : valid) {
        cExtension e;
        e.setPath(QString::fromUtf8(c.path));
        EXPECT_EQ(e.ValidPath(QString::fromUtf8(c.asked)), c.valid) << c.path << " / " << c.asked;
    }
    const struct {
        const char* path;
        const char* segment;
        const char* child;
    } keys[] = {
        {"A\\B\\C", "B", "C"}, {"A\\B\\C", "b", "C"},    {"A\\B\\C", "C", ""},
        {"A\\B\\C", "X", ""},  {"A\\B\\B\\C", "B", "B"}, {"%frmMain%\\%MainMenu%", "%MainMenu%", ""},
    };
    for (const auto& c : keys) {
        cExtension e;
        e.setPath(QString::fromUtf8(c.path));
        EXPECT_EQ(e.GetChildPathKey(QString::fromUtf8(c.segment)), QString::fromUtf8(c.child)) << c.path;
    }
}

} // namespace
