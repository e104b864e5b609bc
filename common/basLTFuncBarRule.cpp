// Card-reading rule: turns what a card reader delivered into the card barcode.

#include "common/basLTFunc.h"

bool g_blnBarRuleByPos = false;
int g_intBarRuleUsed = 0;
QVector<BarRuleSegment> g_arrBarRule;

namespace {

bool wholeNumber(const QString& text, int* value) {
    bool ok = false;
    *value = text.trimmed().toInt(&ok);
    return ok;
}

// Separator mode: a magnetic-stripe read whose characters 8 to 10 are "025"
// carries the card number in its fifth "="-field; the barcode is "5" and the
// first eight characters of that field.
QString applyStripe(const QString& s) {
    if (s.mid(7, 3) != QLatin1String("025")) return s;
    // A plain barcode that happens to hold "025" there has no fields to cut.
    if (!s.contains(QLatin1Char('='))) return s;
    QString rest = s;
    for (int k = 0; k < 4; ++k) {
        const qsizetype eq = rest.indexOf(QLatin1Char('='));
        rest = eq < 0 ? QString() : rest.mid(eq + 1);
    }
    if (rest.isEmpty()) return QString();
    return QLatin1Char('5') + rest.left(8);
}

// Segment mode: the configured pieces of the text, joined in file order. A
// text too short for the first segment, and any text while the segment list
// is empty or holds an unusable entry, passes unchanged.
QString applySegments(const QString& s) {
    const qsizetype n = g_arrBarRule.size() - 1; // the last entry is the empty end marker
    if (n <= 0) return s;

    struct Piece { int start, length; };
    QVector<Piece> pieces;
    for (qsizetype k = 0; k < n; ++k) {
        Piece p{};
        if (!wholeNumber(g_arrBarRule[k].start, &p.start) || !wholeNumber(g_arrBarRule[k].length, &p.length) ||
            p.start < 1 || p.length < 0)
            return s;
        pieces.append(p);
    }
    if (s.size() < pieces[0].start + pieces[0].length - 1) return s;

    QString result;
    for (const Piece& p : pieces) result += s.mid(p.start - 1, p.length);
    return result;
}

} // namespace

QString strApplyBarReadRule(const QVariant& code) {
    QString s = code.toString();
    if (s.endsWith(QLatin1String("*SS*"))) s = s.left(s.size() - 4) + QStringLiteral("成");
    return g_blnBarRuleByPos ? applySegments(s) : applyStripe(s);
}
