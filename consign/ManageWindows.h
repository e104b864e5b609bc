#pragma once
// Opening the two management windows and the mail options, as the main
// window's service does: each one window, shown again when open.

class QMdiArea;
class QWidget;

namespace consign {

// frmApplyManage / frmFindManage, modeless, as children of the frame (or top
// level without one).
void showApplyManage(QMdiArea* frame);
void showFindManage(QMdiArea* frame);
// frmEmailOption, modeless, owned by `owner`.
void showEmailOption(QWidget* owner);
// Closes whichever of the three is open.
void unloadManageWindows();

} // namespace consign
