// The registry: the key store file and cRegistry's values, deletions and errors.

#include "tests/extend/AddinFixture.h"

#include "extend/RunError.h"
#include "extend/cRegistry.h"

#include <gmock/gmock.h>

#include <thread>

using extend::cRegistry;
using extend::RunError;

namespace {

class RegistryTest : public AddinTest {
protected:
    static cRegistry at(const QString& section, const QString& value = {}, qint32 root = extend::HKCR) {
        cRegistry r;
        r.setClassKey(root);
        r.setSectionKey(section);
        r.setValueKey(value);
        return r;
    }
    // Runs `f`, which must raise; the error's number and text.
    template <class F> static std::pair<long, QString> raised(F f) {
        try {
            f();
        } catch (const RunError& e) {
            EXPECT_TRUE(e.source().endsWith(QLatin1String(".cRegistry"))) << e.source().toStdString();
            return {e.number(), e.description()};
        }
        ADD_FAILURE() << "nothing raised";
        return {0, {}};
    }
};

TEST_F(RegistryTest, NamesMatchInAnyCaseAndTheFileIsPrivate) {
    cRegistry w = at(QStringLiteral("Software\\Desk\\Opts"), QStringLiteral("Title"));
    EXPECT_FALSE(w.KeyExists());
    w.setValueType(sys::REG_SZ);
    w.setValue(QStringLiteral("流通委托"));
    cRegistry r = at(QStringLiteral("SOFTWARE\\desk\\OPTS"), QStringLiteral("title"));
    EXPECT_TRUE(r.KeyExists());
    EXPECT_EQ(r.Value().toString(), QStringLiteral("流通委托"));
    EXPECT_EQ(r.ValueType(), sys::REG_SZ);
    // Another root holds its own keys.
    EXPECT_FALSE(at(QStringLiteral("Software\\Desk"), {}, extend::HKLM).KeyExists());
    // The key keeps the spelling it was created with.
    QStringList sections;
    int n = 0;
    at(QStringLiteral("software\\DESK")).EnumerateSections(sections, n);
    EXPECT_EQ(sections, QStringList{QStringLiteral("Opts")});

    const QFileInfo file(sys::RegistryStore::defaultFile());
    ASSERT_TRUE(file.exists());
    const auto others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_EQ(file.permissions() & others, 0);
    EXPECT_TRUE(file.permissions() & QFileDevice::WriteOwner);
}

TEST_F(RegistryTest, ValuesAreStoredByTheirType) {
    qputenv("DESK_REG_TEST", "/opt/desk");
    const struct {
        qint32 type;
        QVariant written;
        int storedType;
        QVariant read;
    } cases[] = {
        {sys::REG_SZ, QStringLiteral("%DESK_REG_TEST%;x"), sys::REG_EXPAND_SZ, QStringLiteral("/opt/desk;x")},
        {sys::REG_SZ, QStringLiteral("100%"), sys::REG_SZ, QStringLiteral("100%")},
        {sys::REG_SZ, QStringLiteral("%%"), sys::REG_SZ, QStringLiteral("%%")},
        {sys::REG_EXPAND_SZ, QStringLiteral("plain"), sys::REG_SZ, QStringLiteral("plain")},
        {sys::REG_SZ, QStringLiteral("%NO_SUCH_VAR_X%"), sys::REG_EXPAND_SZ,
         QStringLiteral("%NO_SUCH_VAR_X%")},
        {sys::REG_DWORD, QVariant(int(-7)), sys::REG_DWORD, QVariant(qint32(-7))},
        {sys::REG_DWORD_BIG_ENDIAN, QVariant(short(5)), sys::REG_DWORD, QVariant(qint32(5))},
        {sys::REG_BINARY, QVariant(QByteArray("\x01\x00\xff", 3)), sys::REG_BINARY,
         QVariant(QByteArray("\x01\x00\xff", 3))},
    };
    for (const auto& c : cases) {
        cRegistry w = at(QStringLiteral("Types"), QStringLiteral("v"));
        w.setValueType(c.type);
        w.setValue(c.written);
        cRegistry r = at(QStringLiteral("Types"), QStringLiteral("v"));
        EXPECT_EQ(r.Value(), c.read) << c.written.toString().toStdString();
        EXPECT_EQ(r.ValueType(), c.storedType) << c.written.toString().toStdString();
    }
    // A stored big-endian number reads with its bytes reversed.
    sys::RegistryStore().setValue(sys::HKEY_CLASSES_ROOT, QStringLiteral("Types"), QStringLiteral("be"),
                                  {sys::REG_DWORD_BIG_ENDIAN, quint32(0x01000000u)});
    EXPECT_EQ(at(QStringLiteral("Types"), QStringLiteral("be")).Value(), QVariant(qint32(1)));
    qunsetenv("DESK_REG_TEST");
}

TEST_F(RegistryTest, MissingValuesReadAsDefaultAndBadWritesFail) {
    cRegistry r = at(QStringLiteral("Nothing\\Here"), QStringLiteral("v"));
    r.setValueType(sys::REG_BINARY);
    EXPECT_FALSE(r.Value().isValid());
    r.setDefault(QStringLiteral("none"));
    EXPECT_EQ(r.Value(), QVariant(QStringLiteral("none")));
    EXPECT_EQ(r.ValueType(), sys::REG_BINARY);

    // A number type with a text writes nothing and reports nothing.
    cRegistry n = at(QStringLiteral("W"), QStringLiteral("n"));
    n.setValueType(sys::REG_DWORD);
    n.setValue(QStringLiteral("5"));
    EXPECT_FALSE(at(QStringLiteral("W"), QStringLiteral("n")).Value().isValid());

    cRegistry zero = at(QStringLiteral("W"), QStringLiteral("z"));
    const auto [num, text] = raised([&] { zero.setValue(QStringLiteral("abc")); });
    EXPECT_EQ(num, qint32(0x800469A9u));
    EXPECT_EQ(text,
              QStringLiteral(
                  "Failed to set registry value Key: '-2147483648',Section: 'W',Key: 'z' to value: 'abc'"));

    cRegistry bin = at(QStringLiteral("W"), QStringLiteral("b"));
    bin.setValueType(sys::REG_BINARY);
    const auto [bnum, btext] = raised([&] { bin.setValue(QStringLiteral("abc")); });
    EXPECT_EQ(bnum, 26001);
    EXPECT_EQ(btext, QString());
}

TEST_F(RegistryTest, DeletionRefusesSubkeysAndNamesTheRootAsANegativeNumber) {
    cRegistry leaf = at(QStringLiteral("A\\B"));
    leaf.CreateKey();
    cRegistry parent = at(QStringLiteral("A"), QStringLiteral("v"));
    parent.setValueType(sys::REG_SZ);
    parent.setValue(QStringLiteral("x"));

    auto e = raised([&] { parent.DeleteKey(); });
    EXPECT_EQ(e, std::make_pair(26001L,
                                QStringLiteral("Failed to delete registry Key: '-2147483648',Section: 'A")));
    e = raised([&] { at(QStringLiteral("A"), QStringLiteral("w")).DeleteValue(); });
    EXPECT_EQ(e.second, QStringLiteral("Failed to delete registry Key: '-2147483648',Section: 'A',Key: 'w"));
    e = raised([&] { at(QStringLiteral("Gone"), QStringLiteral("v"), extend::HKLM).DeleteValue(); });
    EXPECT_EQ(e.second, QStringLiteral("Failed to open key '-2147483646',Section: 'Gone' for delete access"));

    EXPECT_TRUE(at(QStringLiteral("a"), QStringLiteral("V")).DeleteValue());
    EXPECT_TRUE(leaf.DeleteKey());
    EXPECT_TRUE(parent.DeleteKey());
    EXPECT_FALSE(parent.KeyExists());
    e = raised([&] { parent.DeleteKey(); });
    EXPECT_EQ(e.first, 26001);
}

TEST_F(RegistryTest, EnumerationKeepsCreationOrder) {
    for (const char* name : {"Zeta", "alpha", "Mid"}) {
        cRegistry w = at(QStringLiteral("E"), QString::fromLatin1(name));
        w.setValueType(sys::REG_SZ);
        w.setValue(QStringLiteral("1"));
        at(QStringLiteral("E\\") + QString::fromLatin1(name)).CreateKey();
    }
    QStringList names;
    int count = -1;
    EXPECT_TRUE(at(QStringLiteral("e")).EnumerateValues(names, count));
    EXPECT_EQ(names, (QStringList{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(at(QStringLiteral("E")).EnumerateSections(names, count));
    EXPECT_EQ(names, (QStringList{"Zeta", "alpha", "Mid"}));
    EXPECT_TRUE(at(QStringLiteral("Missing")).EnumerateSections(names, count));
    EXPECT_EQ(count, 0);
}

TEST_F(RegistryTest, TwoProgramsRegisteringAtOnceLoseNoRegistration) {
    // Two add-in registrations at once (threads with objects of their own, as
    // two programs would): every value each wrote is there at the end.
    constexpr int kValues = 30;
    auto registerMany = [](const QString& who) {
        for (int i = 0; i < kValues; ++i) {
            cRegistry r = at(QStringLiteral("Software\\Addins\\") + who, QStringLiteral("V%1").arg(i));
            r.setValueType(sys::REG_SZ);
            r.setValue(QStringLiteral("%1-%2").arg(who).arg(i));
            cRegistry shared = at(QStringLiteral("Software\\Addins"), who + QString::number(i));
            shared.setValueType(sys::REG_DWORD);
            shared.setValue(i);
        }
    };
    std::thread a(registerMany, QStringLiteral("A")), b(registerMany, QStringLiteral("B"));
    a.join();
    b.join();
    QStringList lost;
    for (const QString& who : {QStringLiteral("A"), QStringLiteral("B")})
        for (int i = 0; i < kValues; ++i) {
            if (at(QStringLiteral("Software\\Addins\\") + who, QStringLiteral("V%1").arg(i)).Value() !=
                QStringLiteral("%1-%2").arg(who).arg(i))
                lost << who + QStringLiteral("\\V") + QString::number(i);
            if (at(QStringLiteral("Software\\Addins"), who + QString::number(i)).Value() != i)
                lost << who + QString::number(i);
        }
    EXPECT_TRUE(lost.isEmpty()) << lost.join(u' ').toStdString();
}

} // namespace
