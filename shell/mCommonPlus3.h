#pragma once
// The updater launch and the find-text opener of the main window.
//
// subRunLiveUpdate starts the updater (per-user setting UpdateExcute, by
// default "LiveUpdate" in the program folder; when no file is there the
// worker may pick one, which is then saved) with an argument vector: the
// worker's number, an empty password field and "editions=<module>:<version>".
// The worker's password reaches the updater in the environment variable
// CONSIGN_WORKER_PWD, never on its command line. The program waits for the
// updater to end, painting its windows.

#include <QString>

class QWidget;

inline constexpr char kUpdaterPasswordVariable[] = "CONSIGN_WORKER_PWD";

// "editions=lt4:3.5.0001"
QString strEditionsField(const QString& module, int major, int minor, int revision);

void subRunLiveUpdate(const QString& module, QWidget* owner);
void subShowFindText(QWidget* window);
