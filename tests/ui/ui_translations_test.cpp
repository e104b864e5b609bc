// Qt's own dialogs in Chinese: the catalogue the program installs at start
// translates the standard buttons and the texts of the file, print and page
// set-up dialogs.
#include "platform/ui/Translations.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString buttonText(const QDialogButtonBox& box, QDialogButtonBox::StandardButton which) {
    const QAbstractButton* b = box.button(which);
    return b ? b->text() : QString();
}

} // namespace

TEST(QtTranslations, StandardDialogsSpeakChinese) {
    const auto buttons = QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save |
                         QDialogButtonBox::Open | QDialogButtonBox::Close;
    {
        QDialogButtonBox english(buttons);
        EXPECT_EQ(buttonText(english, QDialogButtonBox::Cancel), "Cancel");
    }
    // A folder without the catalogue installs nothing.
    QTemporaryDir empty;
    EXPECT_FALSE(ui::installQtTranslations(empty.path()));

    ASSERT_TRUE(ui::installQtTranslations());
    EXPECT_TRUE(ui::installQtTranslations()); // once is enough; a second call changes nothing

    QDialogButtonBox box(buttons);
    EXPECT_EQ(buttonText(box, QDialogButtonBox::Ok), u"确定");
    EXPECT_EQ(buttonText(box, QDialogButtonBox::Cancel), u"取消");
    EXPECT_EQ(buttonText(box, QDialogButtonBox::Save), u"保存");
    EXPECT_EQ(buttonText(box, QDialogButtonBox::Open), u"打开");
    EXPECT_EQ(buttonText(box, QDialogButtonBox::Close), u"关闭");

    // Qt's own file dialog (the program never asks for the desktop's).
    QFileDialog files(nullptr, QString(), empty.path());
    files.setOption(QFileDialog::DontUseNativeDialog);
    const auto* nameLabel = files.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_NE(nameLabel, nullptr);
    EXPECT_FALSE(nameLabel->text().contains(QStringLiteral("File name"), Qt::CaseInsensitive))
        << nameLabel->text().toStdString();
    EXPECT_TRUE(nameLabel->text().contains(u"文件名")) << nameLabel->text().toStdString();

    QPrinter printer;
    QPageSetupDialog page(&printer);
    EXPECT_EQ(page.windowTitle(), u"页面设置");
    QPrintDialog print(&printer);
    EXPECT_EQ(print.windowTitle(), u"打印");
}
