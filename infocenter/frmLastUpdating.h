#pragma once
// frmLastUpdating, the update-notes window: the notes of the update-note files
// in one grid, grouped by release time (the opening view), grouped by
// category, or as a flat list; groups collapse and expand; the text zooms
// from 8 to 15 pt; F5 opens a note's file in a read-only viewer.
//
// The opener sets m_Signature and m_LoadPath, then calls Form_Load and shows
// the window modally.

#include "infocenter/basUpdating.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QTextBrowser>

class QAction;
class QMenu;
namespace ui {
class FlexGrid;
}

class frmLastUpdating : public QDialog {
    Q_OBJECT
public:
    explicit frmLastUpdating(QWidget* owner = nullptr);

    QString m_Signature;
    QString m_LoadPath;
    QList<UpdateItem> m_Updatings;
    int m_DisplayMode = 0;

    void Form_Load();
    bool LoadUpdatings(QString& folder, const QString& strSignature);

    void mnuDisplayByGroup_Click();
    void mnuDisplayByIssueID_Click();
    void mnuDisplayByCatalog_Click();
    void mnuFontZoomIn_Click();
    void mnuFontZoomOut_Click();
    void mnnViewInExplorer_Click();

    bool blnIsGroupRow(int row) const;
    bool blnIsGroupExpanded(int row) const;
    void subSetGroupExpanded(int row, bool expanded);
    // The heading of a column was clicked.
    void vsUpdating_HeadingClick(int col);

    double fontSize() const { return fontSize_; }
    // The viewer of the last file opened with F5, or nullptr.
    QTextBrowser* viewer() const { return viewer_.data(); }

    ui::FlexGrid* vsUpdating = nullptr;
    QMenu* mnuPop = nullptr;
    QAction* mnuDisplayByGroup = nullptr;
    QAction* mnuDisplayByIssueID = nullptr;
    QAction* mnuDisplayByCatalog = nullptr;
    QAction* mnuFontZoomIn = nullptr;
    QAction* mnuFontZoomOut = nullptr;
    QAction* mnnViewInExplorer = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void subShowByIssueTime();
    void subShowByCatalog();
    void subShowGroups(bool byCatalog);
    void subShowList();
    void subInitGrid(const QStringList& headings);
    int lngAddGroupRow(const QString& key);
    void lngAddGroupItemRow(const UpdateItem& item, int headerRow);
    void lngAddListRow(const UpdateItem& item);
    void subLayout();
    void subApplyFont();
    void toggleGroup(int row);

    double fontSize_ = 9.0;
    int sortCol_ = -1;
    bool sortAscending_ = true;
    bool movingBack_ = false;
    Qt::MouseButton pressedButton_ = Qt::NoButton;
    QPointer<QTextBrowser> viewer_;
};
