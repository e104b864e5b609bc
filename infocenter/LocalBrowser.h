#pragma once
// A browser of local pages: it loads nothing from the network and runs no
// scripts. A click on an http or https link opens the address in the
// desktop's browser (a message says so when none takes it); a link to a
// local page inside the root folder (when one is set) opens here; any other
// link does nothing.
//
// A page and what it shows (pictures, style sheets) are read only from
// regular files inside the root folder (links resolved first): never from
// another folder, a device or a pipe, and with no root set from nowhere. One
// file is read only up to kMaxFileBytes and one page, with everything it
// shows, up to kMaxPageBytes; what goes beyond is not shown.

#include <QTextBrowser>

class LocalBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit LocalBrowser(QWidget* parent = nullptr);

    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr qint64 kMaxPageBytes = 16 * 1024 * 1024;

    // Pages, their resources and followed links only from below this folder
    // ("" none).
    void setRoot(const QString& folder) { root_ = folder; }
    QString root() const { return root_; }

    static bool isWebAddress(const QUrl& url);
    QVariant loadResource(int type, const QUrl& name) override;
    // The bytes read for the page shown now.
    qint64 pageBytes() const { return pageBytes_; }

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    void follow(const QUrl& link);
    // The canonical path of a regular file inside the root, or "".
    QString insideRoot(const QUrl& url) const;
    QString root_;
    qint64 pageBytes_ = 0;
};
