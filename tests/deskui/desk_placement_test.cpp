// Where the desk and the main window open: the desk whole and centred in the
// main window's frame, the main window over the screen's free area.

#include "DeskUiFixture.h"

#include "desk/DeskService.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

class DeskPlacementTest : public DeskUiTest {};

TEST_F(DeskPlacementTest, DeskOpensWholeAndCentredInTheFrame)
{
    // The frame a 1366x768 screen leaves below the menu and tool bars and
    // above the status bar; a large one; one smaller than the desk.
    for (const QSize size : {QSize(1366, 660), QSize(1600, 1000), QSize(900, 560)}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        QMdiArea frame;
        frame.resize(size);
        frame.show();
        desk::DeskService& service = desk::deskService();
        service.showDesk(&frame, "Apply");
        form = frmConsign::instance();
        ASSERT_NE(form, nullptr);
        ASSERT_EQ(frame.subWindowList().size(), 1);
        const QMdiSubWindow* sub = frame.subWindowList().first();
        const QRect area = frame.viewport()->rect();
        const QRect g = sub->geometry();
        EXPECT_TRUE(area.contains(g)) << g.x() << "," << g.y() << " " << g.width() << "x" << g.height();
        EXPECT_LE(std::abs((area.width() - g.width()) / 2 - g.x()), 1);
        const int d = (area.height() - g.height()) / 2;
        EXPECT_EQ(g.y(), d > 18 ? d - 18 : d);
        if (size.width() > 1300) {
            EXPECT_EQ(g.size(), form->size().expandedTo(QSize(980, 640)).boundedTo(area.size()));
        }
        service.unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(DeskPlacementTest, MainWindowTakesTheFreeAreaOfTheScreen)
{
    QWidget main;
    main.resize(1024, 700);
    subShowFillingScreen(&main);
    EXPECT_TRUE(main.isMaximized());
    EXPECT_EQ(main.size(), QGuiApplication::primaryScreen()->availableGeometry().size());
}
