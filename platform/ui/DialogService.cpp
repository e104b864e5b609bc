#include "platform/ui/DialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace ui {

namespace {
DialogService* g_service = nullptr;

QMessageBox::StandardButton toButton(BoxAnswer a) {
    switch (a) {
    case BoxAnswer::Ok: return QMessageBox::Ok;
    case BoxAnswer::Cancel: return QMessageBox::Cancel;
    case BoxAnswer::Yes: return QMessageBox::Yes;
    case BoxAnswer::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}
} // namespace

DialogService& DialogService::current() {
    static WidgetDialogService widgets;
    return g_service ? *g_service : widgets;
}

void DialogService::install(DialogService* service) { g_service = service; }

void subPrepareBox(QMessageBox& box, const BoxRequest& r) {
    box.setWindowTitle(r.title);
    box.setText(r.text);
    switch (r.icon) {
    case BoxIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case BoxIcon::Information: box.setIcon(QMessageBox::Information); break;
    case BoxIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case BoxIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    QMessageBox::StandardButtons buttons;
    switch (r.buttons) {
    case BoxButtons::Ok: buttons = QMessageBox::Ok; break;
    case BoxButtons::OkCancel: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case BoxButtons::YesNo: buttons = QMessageBox::Yes | QMessageBox::No; break;
    case BoxButtons::YesNoCancel: buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    box.setStandardButtons(buttons);
    // The buttons speak the language of the rest of the program, whatever the
    // toolkit's own translations installed on this machine.
    const struct { QMessageBox::StandardButton button; const char* text; } captions[] = {
        {QMessageBox::Ok, "确定"}, {QMessageBox::Cancel, "取消"},
        {QMessageBox::Yes, "是(&Y)"}, {QMessageBox::No, "否(&N)"}};
    for (const auto& c : captions)
        if (QAbstractButton* b = box.button(c.button))
            b->setText(QString::fromUtf8(c.text));
    box.setDefaultButton(toButton(r.defaultAnswer));
}

BoxAnswer WidgetDialogService::showBox(const BoxRequest& r) {
    if (r.beep) QApplication::beep();
    QMessageBox box(QApplication::activeWindow());
    subPrepareBox(box, r);
    switch (box.exec()) {
    case QMessageBox::Ok: return BoxAnswer::Ok;
    case QMessageBox::Yes: return BoxAnswer::Yes;
    case QMessageBox::No: return BoxAnswer::No;
    default: return BoxAnswer::Cancel;
    }
}

int WidgetDialogService::execDialog(QDialog* dialog) { return dialog->exec(); }

void WidgetDialogService::beep() { QApplication::beep(); }

ScriptedDialogService::ScriptedDialogService() {
    previous_ = g_service;
    install(this);
}

ScriptedDialogService::~ScriptedDialogService() {
    if (g_service == this) install(previous_);
}

BoxAnswer ScriptedDialogService::showBox(const BoxRequest& r) {
    shown.append(r);
    if (r.beep) ++beeps;
    if (!answers.isEmpty()) return answers.takeFirst();
    return r.defaultAnswer;
}

int ScriptedDialogService::execDialog(QDialog* dialog) {
    return dialogHandler ? dialogHandler(dialog) : 0;
}

} // namespace ui
