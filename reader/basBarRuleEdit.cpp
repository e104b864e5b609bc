#include "reader/basBarRuleEdit.h"

#include "common/basLTFunc.h"
#include "platform/text/AnsiFile.h"
#include "platform/text/FileSet.h"
#include "platform/text/IniFile.h"

#include <QDir>
#include <QFileInfo>

QString strBarRuleLine(int no, const QString& start, const QString& length) {
    return QStringLiteral("%1").arg(no, 2, 10, QLatin1Char('0')).leftJustified(10, QLatin1Char(' ')) +
           start.leftJustified(14, QLatin1Char(' ')) + length;
}

QString strBarRuleLineStart(const QString& line) {
    return line.mid(10, 14).trimmed();
}

QString strBarRuleLineLength(const QString& line) {
    return line.mid(24).trimmed();
}

QStringList arrBarRuleLines() {
    // The last entry of the rule in memory is its empty end marker.
    QStringList lines;
    for (qsizetype i = 0; i + 1 < g_arrBarRule.size(); ++i)
        lines << strBarRuleLine(int(i + 1), g_arrBarRule[i].start, g_arrBarRule[i].length);
    return lines;
}

int intAddBarRuleLine(QStringList* lines, const QString& start, const QString& length, QString* message) {
    const QString s = start.trimmed();
    const QString l = length.trimmed();
    if (s.isEmpty() || l.isEmpty()) return 0;
    bool okS = false, okL = false;
    const int vs = s.toInt(&okS);
    const int vl = l.toInt(&okL);
    if (!okS || !okL || vs < 1 || vl < 1) {
        *message = QStringLiteral("E起始位置和截取长度必须是大于0的整数!");
        return -1;
    }
    if (lines->size() >= kMaxBarRuleSegments) {
        *message = QStringLiteral("E读取规则最多只能有%1段!").arg(kMaxBarRuleSegments);
        return -1;
    }
    lines->append(strBarRuleLine(int(lines->size()) + 1, s, l));
    return 1;
}

void subDeleteBarRuleLine(QStringList* lines, int index) {
    if (index < 0 || index >= lines->size()) return;
    lines->removeAt(index);
    for (qsizetype i = index; i < lines->size(); ++i) {
        QString& line = (*lines)[i];
        line = QStringLiteral("%1").arg(line.left(2).toInt() - 1, 2, 10, QLatin1Char('0')) + line.mid(2);
    }
}

int intSaveBarReadRule(bool byPos, bool used, const QStringList& lines, QString* message) {
    QString text;
    for (const QString& line : lines)
        text += strBarRuleLineStart(line) + QLatin1Char(',') + strBarRuleLineLength(line) + QLatin1Char('\n');
    const QString file = strBarReadRuleFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    {
        // The segment file and the two settings are one rule: saved under its
        // lock, and all or nothing.
        const text::FileLock lock(strBarReadRuleLock());
        const text::FileBackup old(file);
        if (!lock.locked() || !old.readable() || !text::writeAnsiFile(file, text)) {
            *message = QStringLiteral("E无法写入条码读取规则文件：") + QDir::toNativeSeparators(file);
            return -1;
        }
        if (!text::saveSettings(QStringLiteral("LT"), QStringLiteral("BarReadRule"),
                                {{QStringLiteral("Type"), byPos ? QStringLiteral("True") : QStringLiteral("False")},
                                 {QStringLiteral("Used"), used ? QStringLiteral("1") : QStringLiteral("0")}})) {
            // The segment file goes back to what it held.
            old.restore();
            *message = QStringLiteral("E无法保存条码读取规则的设置!");
            return -1;
        }
    }
    subLoadBarReadRule();
    return 0;
}
