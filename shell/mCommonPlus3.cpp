#include "shell/mCommonPlus3.h"

#include "common/LoginState.h"
#include "common/basEnv.h"
#include "common/basFile.h"
#include "platform/sys/Process.h"
#include "platform/text/IniFile.h"
#include "platform/ui/DialogService.h"
#include "shell/basShellIni.h"
#include "shell/basVersion.h"
#include "shell/frmFindText.h"

#include <QFileInfo>

QString strEditionsField(const QString& module, int major, int minor, int revision) {
    return QStringLiteral("editions=%1:%2.%3.%4")
        .arg(module)
        .arg(major)
        .arg(minor)
        .arg(revision, 4, 10, QLatin1Char('0'));
}

void subRunLiveUpdate(const QString& module, QWidget* owner) {
    const QString section = QStringLiteral("Settings");
    const QString key = QStringLiteral("UpdateExcute");
    QString path =
        text::getSetting(strProgramTitle(), section, key, g_strPath[0] + QStringLiteral("LiveUpdate"));
    if (!QFileInfo(path).isFile()) {
        ui::BoxRequest box;
        box.icon = ui::BoxIcon::Question;
        box.buttons = ui::BoxButtons::YesNoCancel;
        box.defaultAnswer = ui::BoxAnswer::Yes;
        box.title = QStringLiteral("提示");
        box.text = QStringLiteral("没有找到默认的智能升级程序，是否选择新的升级程序文件？");
        if (ui::DialogService::current().showBox(box) == ui::BoxAnswer::Yes) {
            const QString chosen = strShowOpenDialog(owner, QStringLiteral("选择升级执行程序"),
                                                     QStringLiteral("执行程序(*)|*||"), g_strPath[0]);
            if (chosen.isEmpty()) return;
            text::saveSetting(strProgramTitle(), section, key, chosen);
            path = chosen;
        }
    }
    const QStringList args = {g_strWkrNo, QString(),
                              strEditionsField(module, kVersionMajor, kVersionMinor, kVersionRevision)};
    // A program that cannot be started is passed over without a message.
    sys::runAndWait(path, args, {QLatin1String(kUpdaterPasswordVariable) + QLatin1Char('=') + g_strWkrPwd});
}

void subShowFindText(QWidget* window) {
    frmFindText* form = frmFindText::instance(window);
    form->show();
    form->raise();
    form->initFindForm(window);
}
