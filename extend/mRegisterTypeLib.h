#pragma once
// Registration of add-in libraries in the program's registry, and creation of
// their objects by registered class name.
//
// A library's information (its "type library") is read from the library
// itself through the add-in interface (AddinInterface.h); a file that is not
// such a library has none. Registration writes the class entries under the
// classes root and the library's own entry TypeLib\{libid}\<major>.<minor>
// (versions in lower-case hexadecimal) holding its help string.
//
// intTypeLibRegistered   1 registered, 0 not, -1 no type library or an error.
//                        Registered means: the TypeLib entry holds the help
//                        string and every class's InprocServer32 names this
//                        very file.
// blnRegisterTypeLib     registers (true) or unregisters (false) the file;
//                        true when every step succeeded. No message.
// objCreateObject        a new object of the class registered under the
//                        ProgID, through the keys ProgID\Clsid and
//                        CLSID\{clsid}\InprocServer32 and the library;
//                        nullptr when any of them is missing or the library
//                        refuses.

#include "extend/AddinInterface.h"

#include <QList>
#include <QString>

#include <optional>

namespace extend {

struct TypeLibClass {
    QString name;
    QString clsid;
    int major = 0;
    int minor = 0;
};

struct TypeLibInfo {
    QString path; // the library file, absolute and canonical
    QString libid;
    QString name;
    int major = 0;
    int minor = 0;
    QString helpString;
    QList<TypeLibClass> classes;
    AddinCreateFunction create = nullptr;
};

// Loads the library (it stays loaded until the program ends) and reads its
// information; nothing when the file is no add-in library of this interface.
std::optional<TypeLibInfo> typeLibOf(const QString& file);

// The key of the library's own entry: "TypeLib\{libid}\1.a".
QString strTypeLibKey(const TypeLibInfo& lib);

short intTypeLibRegistered(const QString& file);
bool blnRegisterTypeLib(const QString& file, bool bRegister);
AddinObject* objCreateObject(const QString& progId);

} // namespace extend
