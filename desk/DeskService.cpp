#include "desk/DeskService.h"

#include "common/basAuth.h"
#include "desk/frmConsign.h"
#include "shell/basMenu.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace desk {

void DeskService::showDesk(QMdiArea* frame, const QString& key)
{
    frmConsign* form = frmConsign::instance();
    if (!form) {
        form = new frmConsign;
        if (frame) {
            QMdiSubWindow* sub = frame->addSubWindow(form);
            sub->setWindowTitle(form->windowTitle());
            // The desk opens whole and centred in the frame, smaller when the
            // frame is (a 1366x768 screen).
            sub->resize(form->size().boundedTo(frame->viewport()->size()));
            subCenterForm(sub, false);
        }
        form->show();
    }
    if (frame) {
        for (QMdiSubWindow* sub : frame->subWindowList()) {
            if (sub->widget() == form) {
                // A maximised desk stays maximised; only a minimised one comes back.
                if (sub->isMinimized())
                    sub->showNormal();
                else
                    sub->show();
                frame->setActiveSubWindow(sub);
            }
        }
    } else {
        form->raise();
        form->activateWindow();
    }
    form->tbConsign_ButtonClick(key);
}

QString DeskService::strRetRedr() const
{
    const frmConsign* form = frmConsign::instance();
    return form ? form->m_strRetRedr : QString();
}

void DeskService::unloadAll()
{
    if (frmConsign* form = frmConsign::instance()) {
        QWidget* sub = form->parentWidget();
        if (auto* mdi = qobject_cast<QMdiSubWindow*>(sub))
            mdi->close();
        else
            form->close();
    }
}

void DeskService::unloadWithoutRight()
{
    const frmConsign* form = frmConsign::instance();
    if (!form)
        return;
    static const char* const modeKeys[] = {"mnuConsignApply", "mnuConsignLend", "mnuConsignReturn"};
    const int mode = form->intMode();
    const QString right = strMenuRight(QLatin1String(modeKeys[mode >= 0 && mode < 3 ? mode : 0]));
    if (!blnCheckAuth(right, false))
        unloadAll();
}

DeskService& deskService()
{
    static DeskService service;
    return service;
}

} // namespace desk
