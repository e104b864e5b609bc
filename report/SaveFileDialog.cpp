#include "report/SaveFileDialog.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/ui/DialogService.h"
#include "report/ReportExport.h"

#include <QApplication>

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

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
    // The dialog reads a double quote in the typed name as the start of a
    // quoted list of names and so answers another file, in another folder.
    if (const auto* typed = dlg.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        typed && typed->text().contains(u'"')) {
        intShowMsg(QStringLiteral("E文件名不能含有双引号（\"）：") + typed->text());
        return QString();
    }
    QString path = dlg.selectedFiles().first();
    if (trim) path = path.trimmed();
    if (!path.trimmed().isEmpty() && QFileInfo(path).suffix().isEmpty()) path += u'.' + suffix;
    return path;
}

QString chooseExportFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix) {
    const QString path = chooseSaveFile(parent, title, filter, suffix, varGetSysInfo(12).toString());
    if (path.isEmpty()) return QString();
    if (const QString problem = replaceProblem(path); !problem.isEmpty()) {
        const QString what = QStringLiteral("文件导出失败");
        LIB_WriteLogFile(what, path + QStringLiteral("：") + problem);
        intShowMsg(QStringLiteral("E") + what + QStringLiteral("：") + path + QStringLiteral("：") + problem);
        return QString();
    }
    if (QFileInfo::exists(path) && intShowMsg(QStringLiteral("WCF011")) != 1) return QString();
    return path;
}

bool blnExportFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                   const std::function<QByteArray()>& bytes) {
    const QString path = chooseExportFile(parent, title, filter, suffix);
    if (path.isEmpty()) return false;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = writeWholeFile(path, bytes(), &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        const QString what = QStringLiteral("文件导出失败");
        LIB_WriteLogFile(what, path + QStringLiteral("：") + error);
        intShowMsg(QStringLiteral("E") + what + QStringLiteral("：") + path + QStringLiteral("：") + error);
        return false;
    }
    ui::BoxRequest done;
    done.icon = ui::BoxIcon::Information;
    done.title = varGetSysPara(1).toString();
    done.text = QStringLiteral("文件导出完毕！");
    ui::DialogService::current().showBox(done);
    return true;
}

} // namespace report
