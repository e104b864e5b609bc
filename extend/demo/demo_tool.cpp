// The demo add-in's program: shows the arguments it was started with and
// whether the worker's password reached it through its environment.

#include "extend/AddinInterface.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList lines{QStringLiteral("演示程序已启动，参数：")};
    const QStringList args = QApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i)
        lines << QStringLiteral("  %1. %2").arg(i + 1).arg(args.at(i));
    lines << (qEnvironmentVariableIsSet(ADDIN_ENV_WORKER_PASSWORD)
                  ? QStringLiteral("工作人员口令已由环境变量传入。")
                  : QStringLiteral("未收到工作人员口令。"));
    QLabel label(lines.join(u'\n'));
    label.setMargin(16);
    label.setWindowTitle(QStringLiteral("演示程序"));
    label.show();
    return QApplication::exec();
}
