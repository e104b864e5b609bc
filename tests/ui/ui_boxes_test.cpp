// Number box, date boxes, code boxes, units and fonts.
#include "platform/ui/CodeBox.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/NumberBox.h"
#include "platform/ui/Units.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace ui;

TEST(NumberBox, MoneyTextsConvertExactlyToCents) {
    struct Case {
        const char* text;
        bool ok;
        qint64 cents;
    } cases[] = {
        {"12.5", true, 1250},   {"0.05", true, 5},      {"3", true, 300},
        {"-12.34", true, -1234}, {" 7.10 ", true, 710},  {"1.500", true, 150},
        {".5", true, 50},       {"0.1", true, 10},      {"1.005", false, 0},
        {"", false, 0},         {"-", false, 0},        {"1.2.3", false, 0},
        {"1e3", false, 0},      {"１２", false, 0},     {"9999999999999999.99", true, 999999999999999999LL},
        {"99999999999999999.99", false, 0},
    };
    for (const Case& c : cases) {
        qint64 v = -1;
        EXPECT_EQ(NumberBox::parseCents(QString::fromUtf8(c.text), &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.cents) << c.text;
        }
    }
    EXPECT_EQ(NumberBox::formatCents(1250), "12.50");
    EXPECT_EQ(NumberBox::formatCents(-5), "-0.05");
    EXPECT_EQ(NumberBox::formatCents(0), "0.00");
    // 0.1 + 0.2 summed as cents is exact.
    qint64 a = 0, b = 0;
    NumberBox::parseCents("0.1", &a);
    NumberBox::parseCents("0.2", &b);
    EXPECT_EQ(NumberBox::formatCents(a + b), "0.30");
}

TEST(NumberBox, DigitMaskAndRangeRefuseTypedInput) {
    NumberBox box("txtNewKeepDay");
    box.setMask("######");
    box.show();
    box.setFocus();
    QTest::keyClicks(&box, "12a-3.4567890");
    EXPECT_EQ(box.text(), "123456");   // letters, sign, point and a 7th digit refused
    qint64 v = 0;
    ASSERT_TRUE(box.intValue(&v));
    EXPECT_EQ(v, 123456);
    box.clear();
    EXPECT_FALSE(box.intValue(&v));

    box.setRange(1, 365);
    QTest::keyClicks(&box, "400");
    EXPECT_EQ(box.text(), "40");       // 400 would pass the maximum
    box.setText("0");                  // set by the program: reported, not refused
    EXPECT_FALSE(box.inRange());
    box.setIntValue(365);
    EXPECT_TRUE(box.inRange());

    NumberBox money;
    money.setKind(NumberBox::Kind::Decimal);
    money.setDecimals(2);
    money.setRange(0, 50000);          // 0.00 .. 500.00
    money.show();
    money.setFocus();
    QTest::keyClicks(&money, "-600.129");
    EXPECT_EQ(money.text(), "60.12");  // no sign, at most two decimals; 600 would pass 500
    ASSERT_TRUE(money.cents(&v));
    EXPECT_EQ(v, 6012);
    money.setCents(50000);
    EXPECT_TRUE(money.inRange());
}

TEST(NumberBox, SelectsItsWholeTextOnFocusAndReportsChanges) {
    QWidget w;
    auto* other = new QLineEdit(&w);
    auto* box = new NumberBox("txtNum", &w);
    QSignalSpy changed(box, &NumberBox::changed);
    box->setText("365");
    EXPECT_EQ(changed.count(), 1);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    other->setFocus();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
    EXPECT_EQ(box->selectedText(), "365");
    QTest::keyClicks(box, "7");
    EXPECT_EQ(box->text(), "7");       // typing replaced the selection
}

TEST(NumberBox, MixedMaskIsAnInputMask) {
    NumberBox box;
    box.setMask("####-##-##");
    box.setText("20261210");
    EXPECT_EQ(box.text(), "2026-12-10");
}

TEST(DateBox, ValueIsTheDateTextOrEmpty) {
    DateBox box("txtBgnDay");
    EXPECT_EQ(box.value(), "");
    EXPECT_FALSE(box.isValidDate());
    box.setValue("2026-12-10");
    EXPECT_EQ(box.value(), "2026-12-10");
    EXPECT_EQ(box.date(), QDate(2026, 12, 10));
    box.setValue("2026-02-30");
    EXPECT_FALSE(box.isValidDate());
    box.setDate(QDate(2025, 1, 5));
    EXPECT_EQ(box.value(), "2025-01-05");
    box.setValue({});
    EXPECT_EQ(box.value(), "");

    box.setBackColor(units::colorFromNumber(0xD4D4D4));
    EXPECT_EQ(units::colorToNumber(box.backColor()), 0xD4D4D4);
    QSignalSpy activated(&box, &DateBox::activated);
    box.show();
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(activated.count(), 1);

    EXPECT_EQ(dateText(QDate()), "");
    EXPECT_FALSE(dateFromText("2026-1-5").isValid());

    DatePicker picker("dtpApplyBegin");
    EXPECT_EQ(picker.value(), dateText(QDate::currentDate()));
    EXPECT_TRUE(picker.setValue("2024-02-29"));
    EXPECT_FALSE(picker.setValue("2023-02-29"));
    EXPECT_EQ(picker.value(), "2024-02-29");
    // The drop-down calendar speaks Chinese; the box keeps its digits.
    picker.setValue("2024-12-01");
    EXPECT_EQ(picker.calendarWidget()->locale().monthName(12), "十二月");
    EXPECT_EQ(picker.text(), "2024-12-01");
}

TEST(CodeBox, InputMethodsStayOff) {
    CodeBox box("txtReader", nullptr);
    EXPECT_FALSE(box.testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(box.inputMethodHints() & Qt::ImhLatinOnly);
    box.setReadOnly(true);
    box.setReadOnly(false);   // a plain line edit turns input methods back on here
    EXPECT_FALSE(box.testAttribute(Qt::WA_InputMethodEnabled));

    QLineEdit plain;
    disableInputMethod(&plain);
    EXPECT_FALSE(plain.testAttribute(Qt::WA_InputMethodEnabled));
}

TEST(Units, TwipsPixelsPointsAndColourNumbers) {
    struct Case {
        int twips;
        int pixels;
    } cases[] = {{0, 0}, {15, 1}, {270, 18}, {7, 0}, {8, 1}, {-8, -1}, {1440, 96}};
    for (const Case& c : cases) EXPECT_EQ(units::twipsToPixels(c.twips), c.pixels) << c.twips;
    EXPECT_EQ(units::pixelsToTwips(18), 270);
    EXPECT_DOUBLE_EQ(units::twipsToPoints(180), 9.0);
    EXPECT_EQ(units::pointsToTwips(10.5), 210);
    EXPECT_EQ(units::millimetresToTwips(25.4), 1440);
    EXPECT_EQ(units::colorFromNumber(255), QColor(255, 0, 0));
    EXPECT_EQ(units::colorFromNumber(8388608), QColor(0, 0, 128));
    EXPECT_EQ(units::colorToNumber(QColor(192, 255, 255)), 16777152);
}

TEST(Fonts, ChineseNamesMapToTheInstalledCjkFont) {
    for (const char* name : {"宋体", "黑体", "SimSun", "simhei", " 新宋体 "})
        EXPECT_EQ(mapFontFamily(QString::fromUtf8(name)), cjkFamily()) << name;
    EXPECT_EQ(mapFontFamily("DejaVu Sans"), "DejaVu Sans");
    const QFont f = makeFont("宋体", 9, true);
    EXPECT_EQ(f.family(), cjkFamily());
    EXPECT_EQ(f.pointSizeF(), 9.0);
    EXPECT_TRUE(f.bold());
    installFontSubstitutions();
    installFontSubstitutions();
    const QStringList subs = QFont::substitutes("宋体");
    EXPECT_EQ(subs.size(), 1);
    EXPECT_TRUE(subs.contains(cjkFamily(), Qt::CaseInsensitive));
}

TEST(MessageBox, ButtonsCarryChineseCaptionsAndTheDefault) {
    struct Case { BoxButtons buttons; BoxAnswer def; QList<QMessageBox::StandardButton> shown;
                  QStringList captions; QMessageBox::StandardButton defaultButton; };
    const Case cases[] = {
        {BoxButtons::Ok, BoxAnswer::Ok, {QMessageBox::Ok}, {"确定"}, QMessageBox::Ok},
        {BoxButtons::OkCancel, BoxAnswer::Cancel, {QMessageBox::Ok, QMessageBox::Cancel}, {"确定", "取消"},
         QMessageBox::Cancel},
        {BoxButtons::YesNoCancel, BoxAnswer::No, {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel},
         {"是(&Y)", "否(&N)", "取消"}, QMessageBox::No},
    };
    for (const Case& c : cases) {
        QMessageBox box;
        BoxRequest r;
        r.icon = BoxIcon::Question;
        r.buttons = c.buttons;
        r.defaultAnswer = c.def;
        r.title = "示范图书馆";
        r.text = "确定要退出系统吗？";
        subPrepareBox(box, r);
        EXPECT_EQ(box.windowTitle(), r.title);
        EXPECT_EQ(box.text(), r.text);
        EXPECT_EQ(box.buttons().size(), c.shown.size());
        for (int i = 0; i < c.shown.size(); ++i) {
            ASSERT_NE(box.button(c.shown[i]), nullptr);
            EXPECT_EQ(box.button(c.shown[i])->text(), c.captions[i]);
        }
        EXPECT_EQ(static_cast<QAbstractButton*>(box.defaultButton()), box.button(c.defaultButton));
    }
}
