// Registration of add-in libraries: the registered test, the entries written
// and deleted, and object creation through them.

#include "tests/extend/AddinFixture.h"

#include "extend/mRegisterTypeLib.h"

using namespace extend;

namespace {

const QString kRecorderClsid = QStringLiteral("{A1B2C3D4-0001-4000-8000-00000000A001}");
const QString kFailerClsid = QStringLiteral("{A1B2C3D4-0002-4000-8000-00000000A002}");
const QString kTypeLibKey = QStringLiteral("TypeLib\\{A1B2C3D4-0000-4000-8000-00000000A000}\\1.a");

class RegistrationTest : public AddinTest {
protected:
    // A copy of the recorder library in the add-in folder `name`.
    QString library(const QString& name) {
        return QFileInfo(makeAddin(name, QStringLiteral("<addin/>")) + u'/' + recorder()).canonicalFilePath();
    }
    static QStringList subkeys(const QString& key) {
        return sys::RegistryStore().subkeyNames(sys::HKEY_CLASSES_ROOT, key);
    }
    static QByteArray storeBytes() {
        QFile f(sys::RegistryStore::defaultFile());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

TEST_F(RegistrationTest, RegisteringWritesTheClassEntriesAndTheLibraryEntry) {
    const QString lib = library(QStringLiteral("a"));
    EXPECT_EQ(intTypeLibRegistered(lib), 0);
    EXPECT_EQ(objCreateObject(QStringLiteral("TestAddinLib.Recorder")), nullptr);
    ASSERT_TRUE(blnRegisterTypeLib(lib, true));
    EXPECT_EQ(intTypeLibRegistered(lib), 1);

    EXPECT_EQ(classesDefault(kTypeLibKey), QStringLiteral("Test add-in"));
    const struct {
        QString clsid;
        QString progId;
        QString version;
    } classes[] = {{kRecorderClsid, QStringLiteral("TestAddinLib.Recorder"), QStringLiteral("2.3")},
                   {kFailerClsid, QStringLiteral("TestAddinLib.Failer"), QStringLiteral("1.0")}};
    for (const auto& c : classes) {
        const QString key = QStringLiteral("CLSID\\") + c.clsid;
        EXPECT_EQ(subkeys(key), (QStringList{"Implemented Categories", "InprocServer32", "ProgID",
                                             "Programmable", "TypeLib", "VERSION"}));
        EXPECT_EQ(subkeys(key + QStringLiteral("\\Implemented Categories")),
                  QStringList{QStringLiteral("{40FC6ED5-2438-11CF-A3DB-080036F12502}")});
        EXPECT_EQ(classesDefault(key), c.progId);
        EXPECT_EQ(classesDefault(key + QStringLiteral("\\InprocServer32")), lib);
        const auto tm =
            sys::RegistryStore().value(sys::HKEY_CLASSES_ROOT, key + QStringLiteral("\\InprocServer32"),
                                       QStringLiteral("threadingmodel"));
        ASSERT_TRUE(tm);
        EXPECT_EQ(tm->data.toString(), QStringLiteral("Apartment"));
        EXPECT_EQ(classesDefault(key + QStringLiteral("\\ProgID")), c.progId);
        EXPECT_EQ(classesDefault(key + QStringLiteral("\\TypeLib")),
                  QStringLiteral("{A1B2C3D4-0000-4000-8000-00000000A000}"));
        EXPECT_EQ(classesDefault(key + QStringLiteral("\\VERSION")), c.version);
        EXPECT_EQ(classesDefault(c.progId), c.progId);
        EXPECT_EQ(classesDefault(c.progId + QStringLiteral("\\Clsid")), c.clsid);
    }

    // Registering again leaves the same entries.
    const QByteArray before = storeBytes();
    ASSERT_TRUE(blnRegisterTypeLib(lib, true));
    EXPECT_EQ(storeBytes(), before);

    AddinObject* o = objCreateObject(QStringLiteral("testaddinlib.recorder"));
    ASSERT_NE(o, nullptr);
    o->calls->release(o);
}

TEST_F(RegistrationTest, AnotherHelpStringOrAnotherFileIsNotThisRegistration) {
    const QString a = library(QStringLiteral("a"));
    const QString b = library(QStringLiteral("b"));
    ASSERT_TRUE(blnRegisterTypeLib(a, true));
    // The same library installed in another folder: its entries point at a.
    EXPECT_EQ(intTypeLibRegistered(b), 0);
    ASSERT_TRUE(blnRegisterTypeLib(b, true));
    EXPECT_EQ(intTypeLibRegistered(b), 1);
    EXPECT_EQ(intTypeLibRegistered(a), 0);

    sys::RegistryStore().setValue(sys::HKEY_CLASSES_ROOT, kTypeLibKey, QString(),
                                  {sys::REG_SZ, QStringLiteral("Another add-in")});
    EXPECT_EQ(intTypeLibRegistered(b), 0);
    ASSERT_TRUE(blnRegisterTypeLib(b, true));
    EXPECT_EQ(intTypeLibRegistered(b), 1);
}

TEST_F(RegistrationTest, FilesThatAreNoAddinLibraryHaveNoTypeLibrary) {
    const QString cases[] = {QString::fromUtf8(NOINFO_ADDIN), QString::fromUtf8(OTHERVERSION_ADDIN),
                             addins + QStringLiteral("/none.so"),
                             makeAddin(QStringLiteral("x"), QStringLiteral("<a/>")) +
                                 QStringLiteral("/addin.xml")};
    for (const QString& file : cases) {
        EXPECT_EQ(intTypeLibRegistered(file), -1) << file.toStdString();
        EXPECT_FALSE(blnRegisterTypeLib(file, true)) << file.toStdString();
        EXPECT_FALSE(blnRegisterTypeLib(file, false)) << file.toStdString();
    }
    EXPECT_TRUE(subkeys(QString()).isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(RegistrationTest, UnregisteringDeletesEveryEntryOnce) {
    const QString lib = library(QStringLiteral("a"));
    ASSERT_TRUE(blnRegisterTypeLib(lib, true));
    ASSERT_TRUE(blnRegisterTypeLib(lib, false));
    EXPECT_EQ(subkeys(QStringLiteral("CLSID")), QStringList());
    EXPECT_EQ(subkeys(QStringLiteral("TypeLib")), QStringList());
    EXPECT_EQ(subkeys(QString()), (QStringList{"TypeLib", "CLSID"}));
    EXPECT_EQ(intTypeLibRegistered(lib), 0);
    EXPECT_EQ(objCreateObject(QStringLiteral("TestAddinLib.Recorder")), nullptr);
    // Already removed: the first missing key ends it with false, silently.
    EXPECT_FALSE(blnRegisterTypeLib(lib, false));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
