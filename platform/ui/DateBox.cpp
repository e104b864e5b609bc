#include "platform/ui/DateBox.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QRegularExpression>

namespace ui {

QString dateText(const QDate& date) {
    return date.isValid() ? date.toString(QString::fromLatin1(kDateFormat)) : QString();
}

QDate dateFromText(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!re.match(text).hasMatch()) return {};
    return QDate::fromString(text, QString::fromLatin1(kDateFormat));
}

DateBox::DateBox(QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("9999-99-99"));
    setBackColor(Qt::white);
}

DateBox::DateBox(const QString& objectName, QWidget* parent) : DateBox(parent) {
    setObjectName(objectName);
}

QString DateBox::value() const {
    const QString t = text();
    // With the mask an empty box reads "--"; anything without a digit is empty.
    for (QChar ch : t)
        if (ch.isDigit()) return t;
    return {};
}

void DateBox::setValue(const QString& text) { setText(text); }

QDate DateBox::date() const { return dateFromText(value()); }

void DateBox::setDate(const QDate& date) { setText(dateText(date)); }

void DateBox::setBackColor(const QColor& color) {
    back_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void DateBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::MouseFocusReason) emit activated();   // the click reports itself
}

void DateBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    emit activated();
}

QLocale calendarLocale() {
    return QLocale(QLocale::Chinese, QLocale::China);
}

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
    setLocale(calendarLocale());
    setDisplayFormat(QString::fromLatin1(kDateFormat));
    setCalendarPopup(true);
    setDate(QDate::currentDate());
}

DatePicker::DatePicker(const QString& objectName, QWidget* parent) : DatePicker(parent) {
    setObjectName(objectName);
}

bool DatePicker::setValue(const QString& text) {
    const QDate d = dateFromText(text);
    if (!d.isValid()) return false;
    setDate(d);
    return true;
}

} // namespace ui
