#pragma once
// Date entry. Dates travel as "yyyy-mm-dd" text everywhere in the program.
//
// DateBox: a masked one-line box ("####-##-##") whose value is the date text
//   ("" while empty). It can carry a back colour that a window uses as a mark
//   (for instance "the box that takes the next date clicked in a calendar") and
//   raises activated() when the user clicks in it or tabs into it.
// DatePicker: a date chooser with a calendar drop-down; value() and
//   setValue() take the same text.
// Calendars name months and week days in Chinese whatever the desktop's language.

#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>

namespace ui {

inline constexpr const char* kDateFormat = "yyyy-MM-dd";

// "yyyy-mm-dd" text of a date (empty for an invalid one) and back; a text that
// is not exactly a valid date gives an invalid QDate.
QString dateText(const QDate& date);
QDate dateFromText(const QString& text);

// The locale of every calendar shown.
QLocale calendarLocale();

class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);
    explicit DateBox(const QString& objectName, QWidget* parent = nullptr);

    QString value() const;                 // "yyyy-mm-dd", "" when nothing typed
    void setValue(const QString& text);    // "" empties the box
    QDate date() const;                    // invalid unless value() is a valid date
    void setDate(const QDate& date);
    bool isValidDate() const { return date().isValid(); }

    QColor backColor() const { return back_; }
    void setBackColor(const QColor& color);

signals:
    void activated();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor back_ = Qt::white;
};

class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);
    explicit DatePicker(const QString& objectName, QWidget* parent = nullptr);

    QString value() const { return dateText(date()); }
    // An invalid text leaves the date as it was and returns false.
    bool setValue(const QString& text);
};

} // namespace ui
