// Desk INI files, the card-reading rule's stored settings, reader portraits
// and the bill-number check.

#include "common/basLTFunc.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basFile.h"
#include "common/basMarcIdx.h"
#include "platform/text/AnsiFile.h"
#include "platform/text/FileSet.h"
#include "platform/text/IniFile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>

LendColEntry g_arrLendCol[11];
int g_intLendColCount = 0;
QString g_strRedrCaption[38];
QString g_strCertCaption[32];

namespace {

constexpr int kIniBuffer = 256;
constexpr int kPortraitChunk = 10240;

QString cfgFile(const QString& relative) { return strResolvePath(varGetSysInfo(14).toString(), relative); }

QString readIni(const QString& section, const QString& key, const QString& file) {
    return text::getPrivateProfileString(section, key, QString(), kIniBuffer, file);
}

QString key3(int n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); }

} // namespace

// ---- card-reading rule settings -----------------------------------------------

QString strBarReadRuleFile() { return cfgFile(QStringLiteral("Lt/BarReadRule.ini")); }

QString strBarReadRuleLock() { return text::lockFileFor(strBarReadRuleFile()); }

void subLoadBarReadRule() {
    // Read under the lock of the rule's save: the settings and the segments
    // of one save.
    const text::FileLock lock(strBarReadRuleLock());
    if (lock.busy()) return; // the rule stays as it was
    const QString app = QStringLiteral("LT"), section = QStringLiteral("BarReadRule");
    bool byPos = false;
    if (!text::parseSettingBool(text::getSetting(app, section, QStringLiteral("Type"), QStringLiteral("False")), &byPos)) return;
    g_blnBarRuleByPos = byPos;

    bool ok = false;
    const int used = text::getSetting(app, section, QStringLiteral("Used"), QStringLiteral("0")).trimmed().toInt(&ok);
    if (!ok) return;
    g_intBarRuleUsed = used;

    QStringList lines;
    if (!text::readAnsiLines(strBarReadRuleFile(), &lines)) return; // the segments stay as they were
    g_arrBarRule.clear();
    for (const QString& line : lines) {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (comma < 0)
            g_arrBarRule.append(BarRuleSegment{line, QString()});
        else
            g_arrBarRule.append(BarRuleSegment{line.left(comma), line.mid(comma + 1)});
    }
    g_arrBarRule.append(BarRuleSegment{}); // end entry: the upper index is the segment count
}

// ---- desk INI files -------------------------------------------------------------

int intLoadBookIni() {
    const QString bookIni = cfgFile(QStringLiteral("LT/LT_book.ini"));
    int n = 0;
    for (; n < 11; ++n) {
        const QString value = readIni(QStringLiteral("LEND"), key3(n + 1), bookIni);
        if (value.isEmpty()) break;
        // text;number;kind -- the kind keeps any further ";"
        const qsizetype first = value.indexOf(QLatin1Char(';'));
        if (first < 0) return -1;
        const QString rest = value.mid(first + 1);
        const qsizetype second = rest.indexOf(QLatin1Char(';'));
        if (second < 0) return -1;
        bool ok = false;
        const int number = rest.left(second).trimmed().toInt(&ok);
        if (!ok) return -1;
        g_arrLendCol[n] = {value.left(first), number, rest.mid(second + 1)};
    }
    g_intLendColCount = n;

    // The search index groups, read by the one parser of the parameter file.
    const QVector<IdxGroupEntry> groups = varReadIdxGroups(strMarcIdxIniFile(), 21);
    g_arrIdxGroup = QVector<IdxGroupEntry>(21);
    for (qsizetype i = 0; i < groups.size() && i < 21; ++i) g_arrIdxGroup[i] = groups[i];
    g_intIdxGroupCount = int(qMin<qsizetype>(groups.size(), 21));
    return 0;
}

int intLoadRedrIni() {
    const QString redrIni = cfgFile(QStringLiteral("LT/LT_reader.ini"));
    for (int i = 0; i < 32; ++i) {
        const QString value = readIni(QStringLiteral("读者"), QLatin1Char('R') + key3(i), redrIni);
        if (!value.isEmpty()) g_strRedrCaption[i] = value;
    }
    for (int i = 0; i < 8; ++i) {
        const QString value = readIni(QStringLiteral("读者证件"), QLatin1Char('R') + key3(i), redrIni);
        if (!value.isEmpty()) g_strCertCaption[i] = value;
    }
    return 0;
}

// ---- reader portrait -------------------------------------------------------------

int intShowPortrait(const QString& certId, QLabel* picture, const QPixmap& defaultPicture) {
    // The picture moves in chunks through one buffer; no full-size copy.
    QFile file;
    int type = 0;
    qint64 total = 0;
    for (qint64 i = 0;; ++i) {
        g_strSQL = QStringLiteral("SELECT encode(substring(rearder_portrait from %1 for %2), 'hex') "
                                  "FROM reader_portrait WHERE p_cert_id = %3")
                       .arg(i * kPortraitChunk + 1)
                       .arg(kPortraitChunk)
                       .arg(strSQLQuote(certId));
        DBResultSet rs;
        g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
        if (g_intSQLRet < 0) {
            // Nothing is shown for a portrait; the failure goes to the log
            // rather than waiting to be reported against a later action.
            LIB_WriteLogFile(QStringLiteral("读者照片"), QStringLiteral("读者照片读取失败：") + g_strErrText);
            LIB_ClearDBError();
            return 0;
        }
        const QByteArray chunk = rs.rowCount() > 0 ? QByteArray::fromHex(rs.text(0, 0).toLatin1()) : QByteArray();
        if (chunk.isEmpty()) break;

        if (i == 0) {
            QString name;
            if (chunk.startsWith("BM")) {
                name = QStringLiteral("portrait.bmp");
                type = 1;
            } else if (chunk.startsWith("GI")) {
                name = QStringLiteral("portrait.gif");
                type = 2;
            } else {
                name = QStringLiteral("portrait.jpg");
                type = 0;
            }
            const QString doc = varGetSysInfo(12).toString();
            QDir().mkpath(doc);
            file.setFileName(QDir(doc).filePath(name));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        }
        if (file.write(chunk) != chunk.size()) return 0;
        total += chunk.size();
        if (chunk.size() < kPortraitChunk) break;
    }

    if (total == 0) {
        if (picture) picture->setPixmap(defaultPicture);
        return -1;
    }
    file.close();
    QPixmap pixmap;
    if (!pixmap.load(file.fileName())) return 0;
    if (picture) picture->setPixmap(pixmap);
    return type;
}

// ---- bill numbers -----------------------------------------------------------------

int intBillNoCount(const QString& billNo) {
    g_strSQL = QStringLiteral("SELECT COUNT(*) FROM deposit_account_lst WHERE bill_no = %1 AND bill_no IS NOT NULL")
                   .arg(strSQLQuote(billNo));
    DBResultSet rs;
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    if (g_intSQLRet < 0) {
        intShowDBError();
        return -1;
    }
    return int(rs.number(0, 0));
}
