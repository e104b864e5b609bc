#include "common/basMarcIdx.h"

#include "platform/oradb/SqlText.h"
#include "platform/text/CodePage.h"
#include "platform/text/IniFile.h"

#include <QStringList>

QVector<IdxGroupEntry> g_arrIdxGroup;
int g_intIdxGroupCount = 0;
QVector<std::array<IdxParaEntry, 4>> g_arrIdxParaUse0;
QVector<std::array<IdxParaEntry, 4>> g_arrIdxParaUse1;
int g_intIdxParaMax = 0;
QVector<QString> g_arrTitleFieldCn;
QVector<QString> g_arrTitleFieldUs;
QString g_arrStopword[4];
FoldLetterEntry g_arrFoldLetters[15];

namespace {

const QString kIdxSection = QStringLiteral("使用检索途径");

} // namespace

bool blnMarcTagFlag(const QString& code)
{
    for (int r = 0; r < g_intIdxParaMax && r < g_arrIdxParaUse0.size(); ++r) {
        const IdxParaEntry& e = g_arrIdxParaUse0[r][0];
        if (e.grp == code)
            return e.stopword_flag == 1;
    }
    return false;
}

// ---- search index groups --------------------------------------------------------

IdxGroupEntry varParseIdxGroup(const QString& value)
{
    IdxGroupEntry e;
    const QStringList parts = value.split(u':');
    e.caption = parts.value(0);
    e.code = parts.value(1);
    const QString number = parts.value(2).trimmed();
    bool ok = false;
    const double n = number.toDouble(&ok);
    e.number = ok ? static_cast<int>(n) : 0;
    return e;
}

QVector<IdxGroupEntry> varReadIdxGroups(const QString& file, int maxKeys)
{
    QVector<IdxGroupEntry> groups;
    text::IniDocument doc;
    if (!text::loadIniFile(file, &doc))
        return groups;
    for (int k = 0; maxKeys <= 0 || k < maxKeys; ++k) {
        const std::optional<QString> v = doc.value(kIdxSection, QStringLiteral("%1").arg(k + 1, 3, 10, QChar(u'0')));
        // A value reaches the program through a 256-byte buffer.
        const QString value = v ? text::gbkLeft(*v, 255) : QString();
        if (value.isEmpty())
            break;
        groups.append(varParseIdxGroup(value));
    }
    return groups;
}

// ---- search keys -------------------------------------------------------------------

QString strNormalizeKey(const QString& key)
{
    QString k = key.trimmed();
    if (k.isEmpty())
        return {};
    for (int e = 2; e <= 3; ++e) {
        for (const QChar c : g_arrStopword[e])
            k.remove(c);
    }
    k = k.trimmed();
    const QString words = QStringLiteral(",") + g_arrStopword[0] + QStringLiteral(",");
    QStringList kept;
    for (const QString& w : k.split(u' ', Qt::SkipEmptyParts)) {
        if (!words.contains(QStringLiteral(",") + w.toUpper() + QStringLiteral(",")))
            kept.append(w);
    }
    k = kept.join(u' ');
    for (const QString& raw : g_arrStopword[1].split(u',')) {
        const QString t = raw.trimmed();
        if (!t.isEmpty())
            k.remove(t);
    }
    return k;
}

QString strGetIsbn(const QString& text)
{
    if (text.size() != 13)
        return text;
    const QString prefix = text.left(3);
    if (prefix == QStringLiteral("978")) {
        const QString d = text.mid(3, 9);
        int len = 2;
        switch (d[1].unicode()) {
        case u'0': len = 2; break;
        case u'1': case u'2': case u'3': len = 3; break;
        case u'4': case u'5': case u'6': case u'7': len = 4; break;
        case u'8': len = 5; break;
        case u'9': len = 6; break;
        default: len = 2; break;
        }
        QString r = d.left(1) + u'-' + d.mid(1, len) + u'-' + d.mid(1 + len) + u'-';
        int s = 0;
        for (int i = 0; i < 9; ++i) {
            const QChar c = d[i];
            if (c < u'0' || c > u'9')
                return r;
            s += (c.unicode() - u'0') * (10 - i);
        }
        const int c = 11 - s % 11;
        return r + (c == 10 ? QStringLiteral("X") : c == 11 ? QStringLiteral("0") : QString::number(c));
    }
    if (prefix == QStringLiteral("977"))
        return text.mid(3, 4) + u'-' + text.mid(7, 3);
    // 979 numbers have no ten-digit form; they stay as they are, like any other text.
    return text;
}

QString strToHexEscape(const QString& text)
{
    // What no statement can carry (NUL, a lone surrogate) is left out, as a
    // quoted literal leaves it out; the server refuses its escape.
    const QString sendable = oradb::sqltext::sendableText(text);
    QString out;
    out.reserve(sendable.size() * 5);
    for (const QChar c : sendable)
        out += u'\\' + QStringLiteral("%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
    return out;
}
