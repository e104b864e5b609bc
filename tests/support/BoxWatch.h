#pragma once
// Runs a check at the moment each message box is shown, then lets the test's
// scripted dialog service answer it as usual. Installed for its lifetime.
//
//   BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) { seen << panelText(); });

#include "platform/ui/DialogService.h"

#include <functional>

namespace testsupport {

class BoxWatch : public ui::DialogService {
public:
    BoxWatch(ui::ScriptedDialogService& inner, std::function<void(const ui::BoxRequest&)> onBox)
        : inner_(inner), onBox_(std::move(onBox))
    {
        install(this);
    }
    ~BoxWatch() override { install(&inner_); }
    BoxWatch(const BoxWatch&) = delete;
    BoxWatch& operator=(const BoxWatch&) = delete;

    ui::BoxAnswer showBox(const ui::BoxRequest& request) override
    {
        if (onBox_)
            onBox_(request);
        return inner_.showBox(request);
    }
    int execDialog(QDialog* dialog) override { return inner_.execDialog(dialog); }
    void beep() override { inner_.beep(); }

private:
    ui::ScriptedDialogService& inner_;
    std::function<void(const ui::BoxRequest&)> onBox_;
};

} // namespace testsupport
