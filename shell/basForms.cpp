#include "shell/basForms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace shell {

namespace {

QList<QPointer<QWidget>> s_forms;

void add(QWidget* w) {
    for (const QPointer<QWidget>& f : s_forms)
        if (f == w) return;
    s_forms.append(w);
}

class FormWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish && watched->isWidgetType() &&
            watched->objectName().startsWith(QLatin1String("frm")))
            add(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

void subRegisterForm(QWidget* form) {
    static FormWatcher* watcher = nullptr;
    if (!watcher && QCoreApplication::instance()) {
        watcher = new FormWatcher;
        QCoreApplication::instance()->installEventFilter(watcher);
    }
    if (form) add(form);
}

QList<QWidget*> loadedForms() {
    QList<QWidget*> out;
    for (const QPointer<QWidget>& f : s_forms)
        if (f) out << f.data();
    return out;
}

} // namespace shell
