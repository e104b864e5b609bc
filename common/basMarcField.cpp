#include "common/basMarcField.h"

#include "common/basMarcIdx.h"
#include "platform/text/CodePage.h"

#include <QVarLengthArray>

#include <cstring>

int g_intMarcFieldPos = 0;
int g_intMarcSubfieldPos = 1;

namespace {

const QChar kMark(MARC_SUBFIELD_MARK);

// Content of directory entry i without its terminator. The parser has checked
// the entry against the data part; the bounds are checked again so a record
// assembled by hand can never make a getter read outside its data.
QString fieldContent(const MarcRecord& rec, int i)
{
    if (i < 0 || i >= rec.count || i >= rec.directory.size())
        return {};
    const MarcDirEntry& e = rec.directory[i];
    const qsizetype start = e.start;
    const qsizetype len = e.length - 1;
    if (start < 0 || len <= 0 || start + len > rec.data.size())
        return {};
    return text::fromGbk(QByteArrayView(rec.data).sliced(start, len));
}

// Index of the next field with the tag from the current position (moving the
// position past the fields passed, and past the field found unless peeking),
// or -1.
int findFieldAt(const MarcRecord& rec, QStringView tag, bool peek)
{
    if (g_intMarcFieldPos < 0)
        g_intMarcFieldPos = 0;
    for (int i = g_intMarcFieldPos; i < rec.count && i < rec.directory.size(); ++i) {
        const QString& t = rec.directory[i].tag;
        if (t.size() == tag.size() && std::memcmp(t.constData(), tag.data(), tag.size() * sizeof(QChar)) == 0) {
            g_intMarcFieldPos = peek ? i : i + 1;
            return i;
        }
        g_intMarcFieldPos = i + 1;
    }
    return -1;
}

QString findField(const MarcRecord& rec, const QString& tag, bool peek)
{
    const int i = findFieldAt(rec, tag, peek);
    return i < 0 ? QString() : fieldContent(rec, i);
}

// The content of the field taken last, kept while a getter comes back to it
// (a title takes subfield after subfield of one field): decoded once.
struct FieldMemo {
    int index = -1;
    QString text;

    const QString& of(const MarcRecord& rec, int i)
    {
        if (index != i) {
            text = fieldContent(rec, i);
            index = i;
        }
        return text;
    }
};

QString nextSubfield(QStringView field, QStringView code)
{
    if (g_intMarcSubfieldPos < 1)
        g_intMarcSubfieldPos = 1;
    const qsizetype p = g_intMarcSubfieldPos;
    if (p > field.size())
        return {};
    const QStringView s = field.mid(p - 1);
    QVarLengthArray<QChar, 8> mark;
    mark.append(kMark);
    mark.append(code.data(), code.size());
    const qsizetype k0 = s.indexOf(QStringView(mark.constData(), mark.size())); // 0-based
    if (k0 < 0)
        return {};
    const qsizetype k = k0 + 1;
    const QStringView s2 = s.mid(k + code.size());
    qsizetype pos = p + k + 1;
    const qsizetype m0 = s2.indexOf(kMark);
    QString value;
    if (m0 < 0) {
        value = s2.toString();
        pos += 2;
    } else {
        value = s2.left(m0).toString();
        pos += m0; // m - 1
    }
    g_intMarcSubfieldPos = static_cast<int>(pos);
    return value;
}

QString subfieldOf(const MarcRecord& rec, QStringView item, FieldMemo& memo)
{
    const QStringView tag = item.left(3);
    const QStringView code = item.mid(3, 1);
    if (tag.compare(u"009") > 0) {
        for (;;) {
            const int i = findFieldAt(rec, tag, true);
            const QStringView f = i < 0 ? QStringView() : QStringView(memo.of(rec, i)).mid(2);
            if (f.isEmpty()) {
                subResetMarcPos();
                return {};
            }
            QString v = nextSubfield(f, code);
            if (!v.isEmpty())
                return v;
            ++g_intMarcFieldPos;
            g_intMarcSubfieldPos = 1;
        }
    }
    const int i = findFieldAt(rec, tag, true);
    QString f = i < 0 ? QString() : memo.of(rec, i);
    g_intMarcSubfieldPos = 1;
    ++g_intMarcFieldPos;
    return f;
}

} // namespace

void subResetMarcPos()
{
    g_intMarcFieldPos = 0;
    g_intMarcSubfieldPos = 1;
}

QString strGetMarcFieldByTag(const MarcRecord& rec, const QString& tag)
{
    return findField(rec, tag, false);
}

QString strPeekMarcFieldByTag(const MarcRecord& rec, const QString& tag)
{
    return findField(rec, tag, true);
}

QString strNextMarcSubfield(const QString& field, const QString& code)
{
    return nextSubfield(field, code);
}

QString strGetMarcSubfield(const MarcRecord& rec, const QString& item)
{
    FieldMemo memo;
    return subfieldOf(rec, item, memo);
}

QString strGetMarcEmbeddedSubfield(const MarcRecord& rec, const QString& item)
{
    auto code = [&](const QString& ind) {
        QString c = item.mid(3, 4) + ind + kMark + item.mid(7);
        return c.size() >= 8 ? c.left(8) : c + QString(8 - c.size(), u' ');
    };
    const QString f = strGetMarcFieldByTag(rec, item.left(3));
    QString v = strNextMarcSubfield(f, code(QStringLiteral("1 ")));
    if (v.isEmpty()) {
        g_intMarcSubfieldPos = 1;
        v = strNextMarcSubfield(f, code(QStringLiteral("10")));
    }
    g_intMarcSubfieldPos = 1;
    return v;
}

QString strMarcFieldText(const QString& field)
{
    if (field.isEmpty())
        return {};
    QString t = field.mid(2);
    for (qsizetype i = t.indexOf(kMark); i >= 0; i = t.indexOf(kMark, i))
        t.replace(i, 2, QStringLiteral(" "));
    qsizetype b = 0;
    qsizetype e = t.size();
    while (b < e && t[b] == u' ')
        ++b;
    while (e > b && t[e - 1] == u' ')
        --e;
    return t.mid(b, e - b);
}

QString strGetMarcItemList(const MarcRecord& rec, const QString& list)
{
    FieldMemo memo;
    QString rest = list;
    while (!rest.trimmed().isEmpty()) {
        subResetMarcPos();
        const qsizetype comma = rest.indexOf(u',');
        const QString item = comma < 0 ? rest : rest.left(comma);
        rest = comma < 0 ? QString() : rest.mid(comma + 1);
        QString v;
        bool isNum = false;
        const int host = item.left(3).toInt(&isNum);
        if (item.size() == 3)
            v = strMarcFieldText(strGetMarcFieldByTag(rec, item));
        else if (item.size() == 8 && isNum && host > 400 && host < 500 && intGetMarcFormat(rec) == 0)
            v = strGetMarcEmbeddedSubfield(rec, item);
        else
            v = subfieldOf(rec, item, memo);
        if (!v.isEmpty())
            return v;
    }
    return {};
}

namespace {

QString titleOf(const MarcRecord& rec, const QVector<QString>& items, bool cnmarc)
{
    FieldMemo memo;
    QString t;
    bool h = false;
    for (qsizetype k = 0; k + 1 < items.size(); ++k) {
        const QString& item = items[k];
        subResetMarcPos();
        for (;;) {
            const QString v = subfieldOf(rec, item, memo);
            if (v.isEmpty())
                break;
            QString sep = QStringLiteral(" ");
            if (cnmarc) {
                sep = item == QStringLiteral("200e") ? QStringLiteral(":") : QStringLiteral(".");
                if (item == QStringLiteral("200h"))
                    h = true;
                if (item == QStringLiteral("200i") && h)
                    sep = QStringLiteral(",");
            }
            t += sep + v;
        }
    }
    return t.mid(1);
}

QString paraRow(int row, int format)
{
    if (row < 0 || row >= g_arrIdxParaUse1.size() || format < 0 || format > 3)
        return {};
    return g_arrIdxParaUse1[row][format].marc_field;
}

} // namespace

QString strGetMarcTitle(const MarcRecord& rec, int kind)
{
    static const int kRow[] = {1, 2, 4, 8, 7, 3, 9, 6, 10, -1, 1, 2, 3, 4};
    const int f = intGetMarcFormat(rec);
    if (kind == 0) {
        if (f == 0)
            return titleOf(rec, g_arrTitleFieldCn, true);
        if (f == 1)
            return titleOf(rec, g_arrTitleFieldUs, false);
    }
    if (kind < 0 || kind > 13 || kRow[kind] < 0)
        return {};
    return strGetMarcItemList(rec, paraRow(kRow[kind], f));
}

int intGetMarcFormat(const MarcRecord& rec)
{
    const QString& t = rec.marc_type;
    if (t == QStringLiteral("U"))
        return 1;
    if (t == QStringLiteral("c"))
        return 2;
    if (t == QStringLiteral("u"))
        return 3;
    return 0;
}

int intCharPosByWidth(const QString& text, int width)
{
    int w = 0;
    qsizetype r = 0;
    for (qsizetype j = 1;; ++j) {
        if (j > text.size())
            return static_cast<int>(j);
        w += text::isGbkDoubleByte(text[j - 1]) ? 2 : 1;
        if (w == width) {
            r = j;
            break;
        }
        if (w > width) {
            r = j - 1;
            break;
        }
    }
    while (r > 0 && text[r - 1] == u' ')
        --r;
    return static_cast<int>(r);
}
