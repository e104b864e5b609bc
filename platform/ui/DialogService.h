#pragma once
// One door for every message box and modal question of the program.
// The program installs the widget implementation; tests install a scripted one
// that records what would have been shown and answers from a queue.

#include <QList>
#include <QString>
#include <functional>

class QDialog;
class QMessageBox;
class QWidget;

namespace ui {

enum class BoxIcon { Error, Information, Warning, Question };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxAnswer { Ok, Cancel, Yes, No };

struct BoxRequest {
    BoxIcon icon = BoxIcon::Information;
    BoxButtons buttons = BoxButtons::Ok;
    BoxAnswer defaultAnswer = BoxAnswer::Ok;
    QString title;
    QString text;
    bool beep = false;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Shows a message box and returns the button pressed.
    virtual BoxAnswer showBox(const BoxRequest& request) = 0;
    // Runs a modal dialog; returns QDialog::exec()'s result (1 accepted, 0 rejected).
    virtual int execDialog(QDialog* dialog) = 0;
    // A short beep (error boxes and failed database calls beep).
    virtual void beep() = 0;

    // The service in force; the widget implementation until another is installed.
    static DialogService& current();
    // Installs a service (not owned); nullptr restores the widget implementation.
    static void install(DialogService* service);
};

// Fills a message box from a request: title, text, icon, the buttons with
// their Chinese captions, and the default button.
void subPrepareBox(QMessageBox& box, const BoxRequest& request);

// QMessageBox / QDialog::exec / QApplication::beep.
class WidgetDialogService : public DialogService {
public:
    BoxAnswer showBox(const BoxRequest& request) override;
    int execDialog(QDialog* dialog) override;
    void beep() override;
};

// For tests: records every box, answers from a queue (the default answer when
// the queue is empty) and lets a test drive each modal dialog through a handler.
class ScriptedDialogService : public DialogService {
public:
    ScriptedDialogService();
    ~ScriptedDialogService() override;

    BoxAnswer showBox(const BoxRequest& request) override;
    int execDialog(QDialog* dialog) override;
    void beep() override { ++beeps; }

    QList<BoxRequest> shown;
    QList<BoxAnswer> answers;
    // Called for each modal dialog instead of exec(); returns the exec result.
    // Without a handler the dialog is rejected (0).
    std::function<int(QDialog*)> dialogHandler;
    int beeps = 0;

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear() { shown.clear(); answers.clear(); beeps = 0; }

private:
    DialogService* previous_ = nullptr;
};

} // namespace ui
