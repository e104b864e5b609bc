#pragma once
// One door for opening an address in the desktop's browser. The program uses
// the desktop's handler; tests install a recording opener.

#include <QList>
#include <QUrl>

namespace ui {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // True when the address was handed over.
    virtual bool open(const QUrl& url) = 0;

    // The opener in force; the desktop's until another is installed.
    static UrlOpener& current();
    // Installs an opener (not owned); nullptr restores the desktop's.
    static void install(UrlOpener* opener);
};

// For tests: records every address and opens nothing; installed while it lives.
class RecordingUrlOpener : public UrlOpener {
public:
    RecordingUrlOpener();
    ~RecordingUrlOpener() override;
    bool open(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;

private:
    UrlOpener* previous_ = nullptr;
};

} // namespace ui
