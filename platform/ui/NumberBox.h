#pragma once
// The number box: a one-line entry for whole numbers, exact decimals and masked
// texts. Its value travels as text (text()/setText()); whole numbers and money
// are read exactly (never through a double): money as integer cents.
//
//   NumberBox box("txtKeepDay");            // whole numbers by default
//   box.setMask("######");                 // up to six digits
//   box.setRange(0, 999);                  // optional bounds (in scaled units)
//   qint64 n; if (box.intValue(&n)) ...
//
//   NumberBox money; money.setKind(NumberBox::Kind::Decimal); money.setDecimals(2);
//   qint64 c; money.cents(&c);              // "12.5" -> 1250
//
// The whole text is selected when the box takes the focus.

#include <QLineEdit>
#include <optional>

namespace ui {

class NumberBox : public QLineEdit {
    Q_OBJECT
public:
    enum class Kind { Integer, Decimal, Text };

    explicit NumberBox(QWidget* parent = nullptr);
    explicit NumberBox(const QString& objectName, QWidget* parent = nullptr);

    void setKind(Kind kind);
    Kind kind() const { return kind_; }
    // Digits after the point for Kind::Decimal (default 2).
    void setDecimals(int decimals);
    int decimals() const { return decimals_; }
    // Bounds in scaled units (whole numbers, or cents with two decimals).
    // Input outside them is refused while typing where possible and reported
    // by inRange(). No bounds by default.
    void setRange(qint64 minimum, qint64 maximum);
    void clearRange();
    std::optional<qint64> minimum() const { return min_; }
    std::optional<qint64> maximum() const { return max_; }
    bool allowNegative() const;

    // Masks in the designers' notation: '#' a digit. A mask of '#' only limits
    // the count of digits ("######"); any other mask ("####-##-##") becomes a
    // fixed input mask whose empty positions read as blanks.
    void setMask(const QString& mask);
    QString mask() const { return mask_; }

    // Exact value of the text: scaled by 10^decimals. False for an empty or
    // malformed text; range not checked.
    bool scaledValue(qint64* out) const;
    bool intValue(qint64* out) const;     // Kind::Integer (or a decimal text without fraction)
    bool cents(qint64* out) const;        // value * 100, exact; false if more than 2 decimals
    bool inRange() const;                 // valid text within the bounds

    void setIntValue(qint64 value);
    void setCents(qint64 cents);          // writes "12.50"

    // Exact conversions of money texts ("-12.5", "0.05", "3") to and from cents.
    static bool parseCents(const QString& text, qint64* cents);
    static QString formatCents(qint64 cents);
    // Exact decimal text -> value scaled by 10^decimals; false when malformed or
    // when it has more decimals than allowed.
    static bool parseScaled(const QString& text, int decimals, qint64* out);

    bool selectAllOnFocus() const { return selectAll_; }
    void setSelectAllOnFocus(bool on) { selectAll_ = on; }

signals:
    // The text changed (typed or set by the program).
    void changed();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateValidator();

    Kind kind_ = Kind::Integer;
    int decimals_ = 2;
    int maxDigits_ = 18;
    std::optional<qint64> min_;
    std::optional<qint64> max_;
    QString mask_;
    bool selectAll_ = true;
    bool selectOnNextClick_ = false;
};

} // namespace ui
