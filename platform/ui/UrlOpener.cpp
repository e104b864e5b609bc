#include "platform/ui/UrlOpener.h"

#include <QDesktopServices>

namespace ui {

namespace {

class DesktopUrlOpener : public UrlOpener {
public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

UrlOpener* g_opener = nullptr;

} // namespace

UrlOpener& UrlOpener::current() {
    static DesktopUrlOpener desktop;
    return g_opener ? *g_opener : desktop;
}

void UrlOpener::install(UrlOpener* opener) {
    g_opener = opener;
}

RecordingUrlOpener::RecordingUrlOpener() : previous_(g_opener) {
    install(this);
}

RecordingUrlOpener::~RecordingUrlOpener() {
    install(previous_);
}

} // namespace ui
