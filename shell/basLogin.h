#pragma once
// The worker check, the first log-in's own checks and loads, and the password
// change, callable without a window: the log-in window passes what was typed
// and applies the focus and layout the routines ask for.

#include <QString>
#include <functional>

// Result of the last modal confirmation (the log-in sets it after a passed
// worker check; the main window reads it after a repeated log-in).
extern bool g_blnDlgOk;

// The built-in superuser: passes every right and workstation check.
inline const QString kSuperUser = QStringLiteral("SUPR");

// This workstation's name: the environment variable CONSIGN_COMPUTER when set,
// else the key COMPUTER_NAME of section LIB-DATA of the connection INI file,
// else the short host name; always upper case.
QString strGetComputerName();

// Where the log-in window puts the focus after a refusal.
enum class LoginFocus { None, User, Password };

// The worker check. `user` is the typed worker number, `pwd` the typed
// password. Returns 0 when the worker passed every step (the log-in state is
// then filled: worker, password, computer, location, rights), -1 when a step
// refused the worker (its message shown) or a query failed (the error shown).
// Without `superUserExempt` SUPR too is refused at a computer it is not bound to.
int blnCheckWorker(const QString& user, const QString& pwd, LoginFocus* focus = nullptr,
                   bool superUserExempt = true);

enum class LoginOutcome {
    Refused,     // message shown; the window stays and the worker may try again
    Passed,      // go on: open the main window (first log-in) or close the window
    ExitProgram, // message shown; the program must end
};

using StatusFn = std::function<void(const QString&)>;

// The first log-in's steps after the worker check: the program right, the
// desk-computer check, then the caches, index parameters, desk files, card
// rule and mail options. `status` receives the status texts.
LoginOutcome intFirstLoginSteps(const StatusFn& status = {});

// Reads the location group of this workstation's location into
// g_varLocaProperty ("" when the location is not listed). 0 read; -1 after the
// database error was shown (g_varLocaProperty unchanged).
int intLoadLocaProperty();

// The log-in action without its window: the worker check and, unless it is a
// repeated log-in, the first log-in's steps. Sets g_blnDlgOk.
LoginOutcome intLoginAction(const QString& user, const QString& pwd, bool reLogin, const StatusFn& status = {},
                            LoginFocus* focus = nullptr);

// Entering the password-change layout: refuses two empty boxes with a warning
// box, else runs the worker check. 0 when the layout may be entered.
int intCheckPasswordChange(const QString& user, const QString& pwd, LoginFocus* focus = nullptr);

// Stores the new password of `user` (upper case, without surrounding blanks).
// Refuses a confirmation that differs (ECM510) and an empty new password;
// a failed update or commit is rolled back and reported, and so is an update
// that found no row of the worker. True when stored.
bool blnSaveNewPassword(const QString& user, const QString& newPwd, const QString& confirm);
