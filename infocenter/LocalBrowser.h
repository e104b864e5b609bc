#pragma once
// A browser of local pages: it loads nothing from the network and runs no
// scripts. A click on an http or https link opens the address in the
// desktop's browser (a message says so when none takes it); a link to a
// local page inside the root folder (when one is set) opens here; any other
// link does nothing.

#include <QTextBrowser>

class LocalBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit LocalBrowser(QWidget* parent = nullptr);

    // Local links are followed only to files below this folder ("" none).
    void setRoot(const QString& folder) { root_ = folder; }

    static bool isWebAddress(const QUrl& url);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void follow(const QUrl& link);
    QString root_;
};
