#include "report/SaveFileDialog.h"

#include "platform/ui/DialogService.h"

#include <QFileDialog>
#include <QFileInfo>

namespace report {

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                       const QString& folder, bool trim) {
    QFileDialog dlg(parent, title, folder, filter);
    dlg.setObjectName(QStringLiteral("dlgFile"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(suffix);
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    if (ui::DialogService::current().execDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    QString path = dlg.selectedFiles().first();
    if (trim) path = path.trimmed();
    if (!path.trimmed().isEmpty() && QFileInfo(path).suffix().isEmpty()) path += u'.' + suffix;
    return path;
}

} // namespace report
