#pragma once
// cAddinsCollection: every add-in of the run, keyed by add-in ID (any case),
// and the shortcuts through which the main window calls into them.
//
// Shortcut text: "[Kind(target,arg1,...,argN)]". Text before the first "[" and
// after the first "]" is ignored; nothing is trimmed; every "," separates and
// the first ")" ends the arguments. Kinds (any case): "Interface" calls the
// method `target` with 0 to 5 arguments on the object of the class, held by
// the first add-in that imports it; "Program" starts the program `target`.
// Each argument is replaced by the value of its placeholder (any case; the
// prefix "%OBJECT%" exactly): anything else becomes an empty argument.

#include "extend/cAddin.h"
#include "shell/ShellServices.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <vector>

namespace extend {

struct ParsedShortcut {
    QString kind;
    QString target;
    QStringList arguments; // the raw argument texts, 1 to n
};

class cAddinsCollection : public shell::AddinsCollection {
public:
    QString m_Path;
    QString ConfigFile;

    void setMainForm(QWidget* form) override { mainForm_ = form; }
    void setConfigFile(const QString& file) override { ConfigFile = file; }
    void setPath(const QString& path) { m_Path = path; }
    QString Path() const override { return m_Path; }

    void Clear();
    // Loads the description of every folder of `strPath` (listed by name
    // without regard to case); the first add-in of an ID wins. Nothing is
    // reported.
    void LoadAddins(const QString& strPath) override;
    void GetExtensByPath(const QString& Path, QList<shell::Extension*>& cols) const override;
    void ExcuteExtenShortcut(const QString& sClass, const QString& sShortcut) override;

    int count() const override { return int(addins_.size()); }
    shell::Addin* addin(int index) const override { return cAddinAt(index); }
    void removeAddin(int index) override;
    cAddin* cAddinAt(int index) const;
    // The add-in keyed `id` (any case), or nullptr.
    cAddin* item(const QString& id) const;
    // Adds an add-in under its ID; false (and the add-in is dropped) when the
    // ID is taken.
    bool add(std::unique_ptr<cAddin> addin);

    static std::optional<ParsedShortcut> blnParseShortcut(const QString& shortcut);
    // The value of one argument. For a started program (forProgram) the
    // password placeholders give an empty value and their text goes into
    // `environment` under the names of the add-in interface.
    QVariant varExpandArgument(const QString& argument, bool forProgram = false,
                               QHash<QString, QString>* environment = nullptr) const;

private:
    QPointer<QWidget> mainForm_;
    std::vector<std::unique_ptr<cAddin>> addins_;
};

// The host-call table of the add-in interface (the %B001% placeholder).
const AddinHostCalls* addinHostCalls();

} // namespace extend
