#pragma once
// File, folder, dialog, program-start and printing utilities.
//
// Paths use "/" as separator; "\" is accepted as one everywhere, so names
// written the old way ("addins\x\addin.xml") work too. A full path is an
// absolute one (it begins with "/"); a relative folder for intMakePath, also
// one written with a leading "\", lies below the program folder (g_strPath[0]).
//
// strFolderOfPath   the path up to and including its last separator, or "".
// strFixBackslash   add: ensure one trailing separator ("/" is added);
//                   not add: remove one trailing separator; "" stays "".
// blnIsFullPath     the path begins with "/".
// strResolvePath    `relative` ("Lt\\X.ini" or "Lt/X.ini") under `base`, each
//                   component matched without regard to case when it does
//                   not exist as spelt (configuration folders copied from
//                   another system spell "LT" and "Lt" both ways).
// subKillFile       deletes the files the path names ("*" and "?" allowed in
//                   the last part, matched without regard to case); silent.
// intMakePath       creates every missing folder of the path: 0 when the whole
//                   path exists afterwards, -1 otherwise.
// blnDeleteFolder   deletes a folder with everything in it; without force a
//                   read-only entry stops the deletion (what went before stays
//                   deleted). True when the folder is gone.
// blnSetCurDir      changes the process's current directory.
// strShowOpenDialog the open-file dialog (through ui::DialogService); the
//                   chosen existing file, or "" when cancelled.
// intRunWait        starts a program and waits for it to end: 0 when it was
//                   started and has ended, -1 when it could not be started
//                   (errorText then says why). The command line is split into
//                   program and arguments by quoting rules; no shell runs.
// subPrintRichText  prints a rich-text box page by page with margins (twips,
//                   from the paper's edges), a header, a footer and page
//                   numbers "- n -"; returns 0 when printed, -1 when the
//                   printer failed.

#include <QString>
#include <QStringList>

class QPrinter;
class QTextEdit;
class QWidget;

QString strFolderOfPath(const QString& path);
QString strFixBackslash(const QString& path, bool add);
bool blnIsFullPath(const QString& path);
QString strResolvePath(const QString& base, const QString& relative);
void subKillFile(const QString& path);
int intMakePath(const QString& path);
bool blnDeleteFolder(const QString& path, bool force);
// True when `folder` is a folder directly inside `parent` (canonical paths,
// so neither a link nor ".." reaches further), never `parent` itself.
bool blnIsDirectChild(const QString& folder, const QString& parent);
bool blnSetCurDir(const QString& path);

// `filter`: pairs of description and pattern, each ended by a NUL character,
// the list ended by another NUL ("文本文件\0*.txt\0\0"); "|" may stand for NUL.
QString strShowOpenDialog(QWidget* owner, const QString& title, const QString& filter,
                          const QString& initialFolder);

// The window style of the old program-start call is accepted and not used.
int intRunWait(const QString& commandLine, int windowStyle = 1, QString* errorText = nullptr);
int intRunWait(const QString& program, const QStringList& arguments, QString* errorText = nullptr);

// Prints on `printer`, or on the default printer when none is given.
int subPrintRichText(QTextEdit* richText, int leftMargin, int topMargin, int rightMargin,
                     int bottomMargin, const QString& headerText, const QString& footerText,
                     QPrinter* printer = nullptr);
