#include "platform/ui/NumberBox.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QValidator>

namespace ui {

namespace {
constexpr int kMaxDigits = 18;   // fits qint64 with room for a sign

class NumberValidator : public QValidator {
public:
    explicit NumberValidator(NumberBox* box) : QValidator(box), box_(box) {}

    State validate(QString& input, int&) const override {
        const QString t = input.trimmed();
        if (box_->kind() == NumberBox::Kind::Text) return Acceptable;
        const bool neg = t.startsWith(u'-');
        if (neg && !box_->allowNegative()) return Invalid;
        const QString body = neg ? t.mid(1) : t;
        const int decimals = box_->kind() == NumberBox::Kind::Decimal ? box_->decimals() : 0;
        int intDigits = 0, fracDigits = 0;
        bool point = false;
        for (QChar ch : body) {
            if (ch == u'.') {
                if (point || decimals == 0) return Invalid;
                point = true;
            } else if (ch.isDigit() && ch.unicode() < 128) {
                (point ? fracDigits : intDigits)++;
            } else {
                return Invalid;
            }
        }
        if (fracDigits > decimals || intDigits + decimals > kMaxDigits) return Invalid;
        if (intDigits > maxDigits()) return Invalid;
        if (intDigits + fracDigits == 0) return Intermediate;
        qint64 v = 0;
        if (!NumberBox::parseScaled(t, decimals, &v)) return Intermediate;
        const auto mn = box_->minimum();
        const auto mx = box_->maximum();
        if (mx && v > *mx && v >= 0) return Invalid;      // more digits only grow it
        if (mn && v < *mn && v < 0) return Invalid;       // more digits only shrink it
        if ((mn && v < *mn) || (mx && v > *mx)) return Intermediate;
        return Acceptable;
    }

    int maxDigits() const { return digits_; }
    void setMaxDigits(int d) { digits_ = d; }

private:
    NumberBox* box_;
    int digits_ = kMaxDigits;
};
} // namespace

NumberBox::NumberBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { emit changed(); });
    updateValidator();
}

NumberBox::NumberBox(const QString& objectName, QWidget* parent) : NumberBox(parent) {
    setObjectName(objectName);
}

void NumberBox::setKind(Kind kind) {
    kind_ = kind;
    updateValidator();
}

void NumberBox::setDecimals(int decimals) {
    decimals_ = qBound(0, decimals, 9);
    updateValidator();
}

void NumberBox::setRange(qint64 minimum, qint64 maximum) {
    min_ = qMin(minimum, maximum);
    max_ = qMax(minimum, maximum);
    updateValidator();
}

void NumberBox::clearRange() {
    min_.reset();
    max_.reset();
    updateValidator();
}

bool NumberBox::allowNegative() const { return !min_ || *min_ < 0; }

void NumberBox::setMask(const QString& mask) {
    mask_ = mask;
    if (mask.isEmpty()) {
        setInputMask({});
        maxDigits_ = kMaxDigits;
    } else if (mask.count(u'#') == mask.size()) {
        setInputMask({});
        maxDigits_ = int(mask.size());
    } else {
        // '#' is an optional digit; the other characters stand as they are.
        QString m;
        for (QChar ch : mask) {
            if (ch == u'#') m += u'9';
            else if (QStringLiteral("AaNnXx90Dd#HhBb<>!\\[]{}").contains(ch)) m += u'\\', m += ch;
            else m += ch;
        }
        kind_ = Kind::Text;
        setInputMask(m);
        maxDigits_ = kMaxDigits;
    }
    updateValidator();
}

void NumberBox::updateValidator() {
    if (!inputMask().isEmpty() || kind_ == Kind::Text) {
        setValidator(nullptr);
        return;
    }
    auto* v = new NumberValidator(this);
    v->setMaxDigits(maxDigits_);
    const QValidator* old = validator();
    setValidator(v);
    if (old && old->parent() == this) delete old;
}

bool NumberBox::parseScaled(const QString& text, int decimals, qint64* out) {
    const QString t = text.trimmed();
    int i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) neg = t[i++] == u'-';
    qint64 value = 0;
    int digits = 0, frac = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar ch = t[i];
        if (ch == u'.') {
            if (point) return false;
            point = true;
            continue;
        }
        if (!(ch.isDigit() && ch.unicode() < 128)) return false;
        const int d = ch.unicode() - u'0';
        if (point && frac >= decimals) {
            if (d != 0) return false;     // more precision than allowed
            continue;
        }
        if (point) ++frac;
        if (++digits > kMaxDigits) return false;
        value = value * 10 + d;
    }
    if (digits == 0) return false;
    for (; frac < decimals; ++frac) {
        if (++digits > kMaxDigits) return false;
        value *= 10;
    }
    if (out) *out = neg ? -value : value;
    return true;
}

bool NumberBox::parseCents(const QString& text, qint64* cents) { return parseScaled(text, 2, cents); }

QString NumberBox::formatCents(qint64 cents) {
    const bool neg = cents < 0;
    const quint64 a = neg ? quint64(0) - quint64(cents) : quint64(cents);
    return QStringLiteral("%1%2.%3")
        .arg(neg ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(int(a % 100), 2, 10, QLatin1Char('0'));
}

bool NumberBox::scaledValue(qint64* out) const {
    return parseScaled(text(), kind_ == Kind::Decimal ? decimals_ : 0, out);
}

bool NumberBox::intValue(qint64* out) const { return parseScaled(text(), 0, out); }

bool NumberBox::cents(qint64* out) const { return parseScaled(text(), 2, out); }

bool NumberBox::inRange() const {
    qint64 v = 0;
    if (!scaledValue(&v)) return false;
    return (!min_ || v >= *min_) && (!max_ || v <= *max_);
}

void NumberBox::setIntValue(qint64 value) { setText(QString::number(value)); }

void NumberBox::setCents(qint64 cents) { setText(formatCents(cents)); }

void NumberBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!selectAll_) return;
    selectAll();
    selectOnNextClick_ = event->reason() == Qt::MouseFocusReason;
}

void NumberBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (selectOnNextClick_) {
        selectOnNextClick_ = false;
        selectAll();
    }
}

} // namespace ui
