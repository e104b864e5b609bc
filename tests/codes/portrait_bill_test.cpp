// Reader portraits from the database, and the bill-number count.

#include "common/basDB.h"
#include "common/basLTFunc.h"
#include "tests/support/TestDatabase.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

QByteArray imageBytes(int w, int h, const char* format) {
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor(200, 30, 30));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

// The smallest GIF: one transparent pixel.
const QByteArray kGif = QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

class Portrait : public testsupport::DatabaseTest {
protected:
    void TearDown() override {
        db().exec("DELETE FROM reader_portrait WHERE p_cert_id LIKE 'PT-%'");
        testsupport::DatabaseTest::TearDown();
    }
    void store(const QString& cert, const QByteArray& bytes) {
        db().exec(QString("INSERT INTO reader_portrait (p_cert_id, rearder_portrait) VALUES ('%1', %2)")
                      .arg(cert, bytes.isNull() ? QString("NULL")
                                                : QString("decode('%1', 'hex')").arg(QString(bytes.toHex()))));
    }
    QByteArray written(const QString& name) {
        QFile f(db().programFolder() + "DOC/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QLabel label;
    QPixmap defaultPicture{QSize(7, 9)};
};

TEST_F(Portrait, TypeByTheFirstTwoBytes) {
    const QByteArray bmp = imageBytes(80, 80, "BMP"); // several chunks
    ASSERT_GT(bmp.size(), 10240);
    store("PT-BMP", bmp);
    store("PT-GIF", kGif);
    const QByteArray png = imageBytes(5, 4, "PNG");
    store("PT-PNG", png);

    EXPECT_EQ(intShowPortrait("PT-BMP", &label, defaultPicture), 1);
    EXPECT_EQ(written("portrait.bmp"), bmp);
    EXPECT_EQ(label.pixmap().size(), QSize(80, 80));

    EXPECT_EQ(intShowPortrait("PT-GIF", &label, defaultPicture), 2);
    EXPECT_EQ(written("portrait.gif"), kGif);
    EXPECT_EQ(label.pixmap().size(), QSize(1, 1));

    EXPECT_EQ(intShowPortrait("PT-PNG", &label, defaultPicture), 0);
    EXPECT_EQ(written("portrait.jpg"), png);
    EXPECT_EQ(label.pixmap().size(), QSize(5, 4));
}

TEST_F(Portrait, ExactlyTwoChunksAndAShorterRewrite) {
    QByteArray bmp = imageBytes(40, 40, "BMP");
    ASSERT_LT(bmp.size(), 20480);
    bmp.append(QByteArray(20480 - bmp.size(), '\0'));
    store("PT-TWO", bmp);
    EXPECT_EQ(intShowPortrait("PT-TWO", &label, defaultPicture), 1);
    EXPECT_EQ(written("portrait.bmp"), bmp);

    // A later, shorter picture of the same type leaves no tail of the older one.
    const QByteArray small = imageBytes(3, 3, "BMP");
    store("PT-SMALL", small);
    EXPECT_EQ(intShowPortrait("PT-SMALL", &label, defaultPicture), 1);
    EXPECT_EQ(written("portrait.bmp"), small);
}

TEST_F(Portrait, NoPictureShowsTheDefault) {
    store("PT-NULL", QByteArray());
    store("PT-EMPTY", QByteArray(""));
    for (const char* cert : {"PT-NULL", "PT-EMPTY", "PT-NONE"}) {
        label.clear();
        EXPECT_EQ(intShowPortrait(cert, &label, defaultPicture), -1) << cert;
        EXPECT_EQ(label.pixmap().size(), QSize(7, 9)) << cert;
    }
    EXPECT_EQ(g_intErrKind, 0);
}

TEST_F(Portrait, BytesThatAreNoPictureLeaveTheControlAlone) {
    store("PT-JUNK", QByteArray("not a picture at all"));
    const QPixmap before(QSize(2, 3));
    label.setPixmap(before);
    EXPECT_EQ(intShowPortrait("PT-JUNK", &label, defaultPicture), 0);
    EXPECT_EQ(label.pixmap().size(), QSize(2, 3));
}

class BillNo : public testsupport::DatabaseTest {
protected:
    void TearDown() override {
        db().exec("DELETE FROM deposit_account_lst WHERE cert_id = 'BILL-R'");
        db().exec("DELETE FROM reader WHERE cert_id = 'BILL-R'");
        testsupport::DatabaseTest::TearDown();
    }
};

TEST_F(BillNo, CountsReceiptsAndReportsFailures) {
    db().exec("INSERT INTO reader (cert_id, name) VALUES ('BILL-R', '测试')");
    for (const char* bill : {"'B-0001'", "'B-0002'", "NULL", "NULL"})
        db().exec(QString("INSERT INTO deposit_account_lst (cert_id, rec_type, oper_date, bill_no, amount) "
                          "VALUES ('BILL-R', '1', '2026-01-05 10:00:00', %1, 1.00)")
                      .arg(bill));
    EXPECT_EQ(intBillNoCount("B-0001"), 1);
    EXPECT_EQ(intBillNoCount("B-0002"), 1);
    EXPECT_EQ(intBillNoCount("B-9999"), 0);
    EXPECT_EQ(intBillNoCount(""), 0); // receipts without a number are not counted
    EXPECT_EQ(intBillNoCount("O'Neil"), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // A failing count is reported and is never "unused".
    db().exec("ALTER TABLE deposit_account_lst RENAME TO deposit_account_gone");
    const int count = intBillNoCount("B-0001");
    db().exec("ALTER TABLE deposit_account_gone RENAME TO deposit_account_lst");
    EXPECT_EQ(count, -1);
    EXPECT_FALSE(dialogs.shown.isEmpty());
}

} // namespace
