#pragma once
// frmHelp, the help window of one module (m_strModuleID, set before Form_Load):
// the contents tree of the module's help books (<program folder>/help/
// qnhelp.qorlan.<module>/<book>/help_toc.xml) beside a browser of the local
// help pages, whose history drives Prev and Next. The help server's start
// page is remote: its address (configuration) shows as a link that opens in
// the desktop's browser; without one the pane stays empty.
//
// Contents entries are the element children of the document element; an
// element's depth is the number its name carries from the sixth character
// on ("TOPIC1", "TOPIC2" ...). Positions and sizes are in twips.

#include <QHash>
#include <QPointer>
#include <QWidget>

class QLabel;
class QPrinter;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QDomElement;
namespace ui {
class CommandBar;
}

class frmHelp : public QWidget {
    Q_OBJECT
public:
    enum { KeyRole = Qt::UserRole + 1, ImageRole, TagRole };

    explicit frmHelp(QWidget* owner = nullptr);

    QString m_strModuleID;
    bool m_blnSplitterDrag = false;

    void Form_Load();
    static QString strHelpTitle(const QString& module);
    static bool blnIsModuleHelpFolder(const QString& name, const QString& module);
    bool blnLoadHelpToc(const QString& file, const QString& folder);
    // Brings the contents width into its range, lays the panes out, and
    // hands the width back.
    void subArrangeHelp(int& width);

    void tbStandard_ButtonClick(const QString& key);
    void imgClose_Click();
    // The splitter, driven by the mouse (x in twips from the splitter's left).
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(int xTwips);
    void imgSplitter_MouseUp();
    // Prints the page shown (nullptr: the print dialog chooses the printer).
    void subPrintPage(QPrinter* printer = nullptr);
    // A click on a contents node.
    void tvHelp_NodeClick(QTreeWidgetItem* node);

    QTreeWidgetItem* node(const QString& key) const;
    // Width and left edges in twips, for tests.
    int contentsWidth() const;
    int splitterLeft() const;
    int barLeft() const;
    int backWidth() const;
    int browseLeft() const;
    int browseWidth() const;

    QTabWidget* tbsHelp = nullptr;
    QWidget* picBack = nullptr;
    QWidget* picHead = nullptr;
    QLabel* imgClose = nullptr;
    QTreeWidget* tvHelp = nullptr;
    QWidget* imgSplitter = nullptr;
    QWidget* picSplitter = nullptr;
    QWidget* picBrowse = nullptr;
    QTextBrowser* wbHelp = nullptr;
    ui::CommandBar* tbStandard = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void subLoadHelpContents(const QString& module);
    QString strAddHelpNode(const QDomElement& e, const QString& parentKey, const QString& folder);
    void showContents(bool show);

    QHash<QString, QTreeWidgetItem*> keys_;
    int width_ = 2460; // the contents pane's width
    int barLeft_ = 0;
};
