#include "biblio/BookInfoService.h"

#include "biblio/frmBookInfo.h"

namespace biblio {

void BookInfoService::showBookInfo(QWidget* owner)
{
    frmBookInfo* form = frmBookInfo::form(owner);
    form->pInitialize();
    if (form->isMinimized())
        form->showNormal();
    else
        form->show();
    form->raise();
    form->activateWindow();
}

void BookInfoService::unloadAll()
{
    if (frmBookInfo* form = frmBookInfo::instance()) {
        form->close();
        frmBookInfo::unload();
    }
}

BookInfoService& bookInfoService()
{
    static BookInfoService service;
    return service;
}

} // namespace biblio
