#pragma once
// The program's answer to a statement that keeps it waiting (see
// platform/oradb/WaitHook.h): the wait cursor from the first call until the
// answer comes, and the windows repainted meanwhile. Keyboard and mouse input,
// and requests to close a window, wait until the answer is there (they are
// delivered then), so no second action starts on the same connection.
//
//   static ui::DatabaseWait wait;
//   oradb::installWaitHook(&wait);

#include "platform/oradb/WaitHook.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

class QEvent;
class QWidget;

namespace ui {

class BusyCursor;

class DatabaseWait : public QObject, public oradb::WaitHook {
public:
    DatabaseWait();
    ~DatabaseWait() override;

    void waiting() override;
    void answered() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    std::unique_ptr<BusyCursor> cursor_;
    std::vector<Held> held_;
    QList<QPointer<QWidget>> closing_;
};

} // namespace ui
