// Command bar: keyed items and menus shown as a menu bar or a toolbar.
#include "platform/ui/CommandBar.h"

#include <QAction>
#include <QApplication>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace ui;

namespace {

QStringList texts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

// A small menu bar built the way the main window builds its own.
struct MenuBarFixture : ::testing::Test {
    CommandBar bar{CommandBar::Kind::MenuBar, QStringLiteral("cmdBar"), nullptr};
    QStringList clicked;

    void SetUp() override {
        QObject::connect(&bar, &CommandBar::keyClicked, [this](const QString& k) { clicked << k; });
        bar.setRedraw(false);
        bar.addItem("mnuConsign", {}, "委托借阅(&C)");
        bar.addItem("mnuConsignApply", {}, "委托申请", ItemStyle::Command, "委托申请");
        bar.addItem("mnuBar11", {}, {}, ItemStyle::Separator);
        bar.addItem("mnuExit", {}, "退出系统");
        bar.addItem("mnuWindow", {}, "窗口(&W)");
        bar.addItem("mnuWindowToolbar", {}, "工具栏", ItemStyle::Check)->setChecked(true);
        bar.addItem("mnuFindText", {}, "查找表格文本", ItemStyle::Command, {}, 70, 2);
        CommandMenu* main = bar.addMenu("MenuMain", "菜单栏");
        main->append(bar.item("mnuConsign"));
        main->append(bar.item("mnuWindow"));
        CommandMenu* consign = bar.addMenu("mnuConsign", {});
        for (const char* k : {"mnuConsignApply", "mnuBar11", "mnuExit"}) consign->append(bar.item(k));
        bar.item("mnuConsign")->setSubMenu(consign);
        CommandMenu* window = bar.addMenu("mnuWindow", {});
        window->append(bar.item("mnuWindowToolbar"));
        window->append(bar.item("mnuFindText"));
        bar.item("mnuWindow")->setSubMenu(window);
        bar.setActiveMenu(main);
        bar.setRedraw(true);
    }
};

} // namespace

TEST_F(MenuBarFixture, ShowsTheActiveMenuWithSubMenusInOrder) {
    EXPECT_EQ(texts(bar.menuBar()->actions()), QStringList({"委托借阅(&C)", "窗口(&W)"}));
    QMenu* consign = bar.menuBar()->actions().at(0)->menu();
    ASSERT_NE(consign, nullptr);
    EXPECT_EQ(texts(consign->actions()), QStringList({"委托申请", "-", "退出系统"}));
    EXPECT_EQ(bar.item("mnuConsignApply")->description(), "委托申请");
    EXPECT_EQ(bar.item("mnuFindText")->action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
}

TEST_F(MenuBarFixture, LookupsAndDuplicatesByKey) {
    EXPECT_EQ(bar.item("nope"), nullptr);
    EXPECT_EQ(bar.menu("nope"), nullptr);
    EXPECT_EQ(bar.addItem("mnuExit", {}, "again"), nullptr);   // existing key: nothing added
    EXPECT_EQ(bar.item("mnuExit")->caption(), "退出系统");
    EXPECT_EQ(bar.addMenu("MenuMain", "x"), nullptr);
    EXPECT_FALSE(bar.setItemEnabled("nope", false));
    EXPECT_FALSE(bar.clickItem("nope"));
}

TEST_F(MenuBarFixture, CheckItemFlipsBeforeTheClickIsReported) {
    QList<bool> seen;
    QObject::connect(&bar, &CommandBar::itemClicked,
                     [&seen](CommandItem* it) { seen << it->isChecked(); });
    bar.clickItem("mnuWindowToolbar");
    bar.clickItem("mnuWindowToolbar");
    EXPECT_EQ(seen, QList<bool>({false, true}));
    EXPECT_EQ(clicked, QStringList({"mnuWindowToolbar", "mnuWindowToolbar"}));

    clicked.clear();
    bar.setItemChecked("mnuWindowToolbar", false);       // by the program: no click
    bar.setItemChecked("mnuExit", true);                  // not a toggle: stays unchecked
    EXPECT_TRUE(clicked.isEmpty());
    EXPECT_FALSE(bar.isItemChecked("mnuExit"));
}

TEST_F(MenuBarFixture, DisabledOrSeparatorItemsDoNotRun) {
    bar.setItemEnabled("mnuExit", false);
    EXPECT_FALSE(bar.isItemEnabled("mnuExit"));
    bar.clickItem("mnuExit");
    bar.clickItem("mnuBar11");
    EXPECT_TRUE(clicked.isEmpty());
    bar.setItemEnabled("mnuExit", true);
    bar.setItemVisible("mnuConsignApply", false);
    EXPECT_FALSE(bar.item("mnuConsignApply")->action()->isVisible());
    bar.clickItem("mnuExit");
    EXPECT_EQ(clicked, QStringList({"mnuExit"}));
}

TEST_F(MenuBarFixture, InsertBeforeAfterAndForeignAnchors) {
    CommandMenu* consign = bar.menu("mnuConsign");
    bar.addItem("a", {}, "A");
    bar.addItem("b", {}, "B");
    bar.addItem("c", {}, "C");
    consign->insertAfter(bar.item("a"), bar.item("mnuConsignApply"));
    consign->insertBefore(bar.item("b"), bar.item("mnuConsignApply"));
    consign->insertAfter(bar.item("c"), bar.item("mnuWindowToolbar"));   // anchor in another menu
    QMenu* q = bar.menuBar()->actions().at(0)->menu();
    EXPECT_EQ(texts(q->actions()), QStringList({"B", "委托申请", "A", "-", "退出系统", "C"}));
}

TEST_F(MenuBarFixture, RedrawOffDefersTheDisplay) {
    bar.setRedraw(false);
    bar.addItem("mnuHelp", {}, "帮助(&H)");
    bar.menu("MenuMain")->append(bar.item("mnuHelp"));
    EXPECT_EQ(bar.menuBar()->actions().size(), 2);
    bar.setRedraw(true);
    EXPECT_EQ(texts(bar.menuBar()->actions()), QStringList({"委托借阅(&C)", "窗口(&W)", "帮助(&H)"}));
}

TEST(CommandBarToolbar, ToggleButtonsControlsAndImages) {
    ImageList images;
    QPixmap px(16, 16);
    px.fill(Qt::red);
    images.add("Find", QIcon(px));
    CommandBar bar(CommandBar::Kind::ToolBar, "tbFind", nullptr);
    bar.setImageList(&images);
    bar.addItem("Split1", "0", {}, ItemStyle::Separator);
    bar.addItem("Find", "Find", "书刊划到", ItemStyle::Check, "书刊划到");
    bar.addItem("ApplyList", "ApplyList", "申请清单", ItemStyle::Check, "申请清单");
    CommandItem* search = bar.addItem("Search", "0", {}, ItemStyle::Control);
    auto* edit = new QLineEdit;
    search->setControl(edit, 176);
    CommandMenu* standard = bar.addMenu("Standard", "工具栏");
    for (CommandItem* it : bar.items()) standard->append(it);
    ASSERT_TRUE(bar.setActiveMenu("Standard"));

    const QList<QAction*> acts = bar.toolBar()->actions();
    ASSERT_EQ(acts.size(), 4);
    EXPECT_TRUE(acts[0]->isSeparator());
    EXPECT_EQ(acts[1]->text(), "书刊划到");
    EXPECT_FALSE(acts[1]->icon().isNull());
    EXPECT_TRUE(acts[2]->icon().isNull());   // no such image
    EXPECT_EQ(bar.toolBar()->widgetForAction(acts[3]), edit);
    EXPECT_EQ(edit->width(), 176);

    // Page toggles: the window presses one and releases the others.
    bar.item("Find")->setState(1);
    EXPECT_EQ(bar.item("Find")->state(), 1);
    bar.clickItem("ApplyList");
    EXPECT_TRUE(bar.isItemChecked("ApplyList"));
}

TEST(CommandBarShortcut, WorksForAnItemInNoMenu) {
    // The desk's "Apply" (F1) is not on its toolbar but answers its key.
    QWidget window;
    auto* bar = new CommandBar(CommandBar::Kind::ToolBar, "tbConsign", &window);
    auto* box = new QLineEdit(&window);
    bar->addItem("Apply", "Apply", "委托申请", ItemStyle::Check, "委托申请", 112, 0);
    bar->addItem("Detail", "Detail", "详细信息");
    bar->addMenu("Standard", "工具栏")->append(bar->item("Detail"));
    bar->setActiveMenu("Standard");
    QStringList clicked;
    QObject::connect(bar, &CommandBar::keyClicked, [&clicked](const QString& k) { clicked << k; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F1);
    EXPECT_EQ(clicked, QStringList({"Apply"}));
    EXPECT_TRUE(bar->isItemChecked("Apply"));
}

// Without the mouse: Tab walks from a box onto the toolbar's buttons, Space
// presses the focused one, and a caption's mnemonic runs its item.
TEST(CommandBarKeyboard, TabReachesTheButtonsAndMnemonicsRunThem) {
    QWidget window;
    auto* box = new QLineEdit(&window);
    auto* bar = new CommandBar(CommandBar::Kind::ToolBar, "tbConnect", &window);
    auto* after = new QLineEdit(&window);
    bar->addItem("Connect", "Connect", "交接(&C)", ItemStyle::Command, "交接当前划到书刊");
    bar->addItem("Split", {}, {}, ItemStyle::Separator);
    bar->addItem("Print", "Print", "打印(&P)", ItemStyle::Command, "打印当前划到书刊");
    CommandMenu* standard = bar->addMenu("Standard", {});
    for (CommandItem* it : bar->items()) standard->append(it);
    bar->setActiveMenu(standard);
    QStringList clicked;
    QObject::connect(bar, &CommandBar::keyClicked, [&clicked](const QString& k) { clicked << k; });
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(box);
    layout->addWidget(bar);
    layout->addWidget(after);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab);
    QWidget* first = QApplication::focusWidget();
    ASSERT_EQ(first, bar->toolBar()->widgetForAction(bar->item("Connect")->action()));
    QTest::keyClick(first, Qt::Key_Tab);
    QWidget* second = QApplication::focusWidget();
    ASSERT_EQ(second, bar->toolBar()->widgetForAction(bar->item("Print")->action()));
    QTest::keyClick(second, Qt::Key_Space);
    EXPECT_EQ(clicked, QStringList({"Print"}));
    QTest::keyClick(second, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);

    // A mnemonic presses its button as a click does, a moment later.
    const auto alt = [&](Qt::Key key) {
        const qsizetype before = clicked.size();
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        for (int i = 0; i < 20 && clicked.size() == before; ++i) QTest::qWait(25);
    };
    clicked.clear();
    alt(Qt::Key_C);
    alt(Qt::Key_P);
    EXPECT_EQ(clicked, QStringList({"Connect", "Print"}));
    bar->setItemEnabled("Connect", false);
    alt(Qt::Key_C);
    EXPECT_EQ(clicked.size(), 2);
}
