#pragma once
// cAssembly: the program's handle on code an add-in brings.
//
// For an imported class it keeps the library file and the class name (the
// registered ProgID), holds the object created from the class for the whole
// run and calls its methods by name; for a program shortcut it starts the
// program.
//
// Arguments (Argv) are positions 0 to n: position 0 is not used, positions 1
// to n hold texts (QString), 64-bit integers (qint64) or nothing (an invalid
// QVariant).

#include "extend/AddinInterface.h"
#include "shell/ShellServices.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

namespace extend {

class cAssembly : public shell::AddinAssembly {
public:
    cAssembly() = default;
    ~cAssembly() override;
    cAssembly(const cAssembly&) = delete;
    cAssembly& operator=(const cAssembly&) = delete;

    QString AssemblyFile;
    QString ClassName;
    QString ProgName;
    long AssemblyType = 0;
    long RunPoint = 0;
    // Environment variables set for a started program, besides the program's own.
    QHash<QString, QString> ProgEnvironment;

    // Creates the object of ClassName; when that fails, registers the library
    // and tries once more. False after the message "装载<class>对象失败！".
    bool LoadAssemblyLibrary(const QString& strFile);
    bool UnRegisteLibrary() override;
    void Release() override;
    bool hasObject() const { return object_ != nullptr; }
    // Calls the method with Argv(1) to Argv(n), n at most 5 (more: nothing is
    // called); a failure is shown through intShowDBError.
    void CallProcessByName(const QString& ProcName, const QList<QVariant>& Argv);
    // Starts ProgName (relative names lie below the program folder) with the
    // arguments, each but the last followed by a comma, without waiting.
    // "外部调用执行失败！" when it cannot be started; a missing program file
    // raises RunError 53 to the caller.
    void RunExecute(const QList<QVariant>& Argv);

    // The program file RunExecute starts for ProgName.
    QString strProgramFile() const;

private:
    AddinObject* object_ = nullptr;
};

} // namespace extend
