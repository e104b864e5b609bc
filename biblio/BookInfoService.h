#pragma once
// The bibliographic look-up as the main window sees it.

#include "shell/ShellServices.h"

namespace biblio {

class BookInfoService : public shell::BookInfoService {
public:
    bool provides() const override { return true; }
    // The one look-up window of the run: set up afresh, then shown modeless.
    void showBookInfo(QWidget* owner) override;
    void unloadAll() override;
};

// The program's one look-up service; install it with shell::Services::install.
BookInfoService& bookInfoService();

} // namespace biblio
