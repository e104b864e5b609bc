#pragma once
// frmFeedbackManager, the feedback window: its two buttons open the feedback
// application's report page ("Send") and list of reports ("View") in the
// desktop's browser; the window shows the address opened.

#include <QWidget>

class QTextBrowser;
namespace ui {
class CommandBar;
}

class frmFeedbackManager : public QWidget {
    Q_OBJECT
public:
    explicit frmFeedbackManager(QWidget* owner = nullptr);

    // The page of a button key ("" for another key or without a server).
    static QString strFeedbackPage(const QString& server, const QString& key);
    void tbToolbar_ButtonClick(const QString& key);

    ui::CommandBar* tbToolbar = nullptr;
    QTextBrowser* wbBrowse = nullptr;
};
