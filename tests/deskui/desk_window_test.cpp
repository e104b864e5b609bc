// The desk window driven as a worker drives it: scan a card, search a title,
// place a request in the keep-days dialog, delete it; the modes and their rights.

#include "DeskUiFixture.h"
#include "tests/desk/PagedTitles.h"
#include "tests/support/BoxWatch.h"
#include "tests/support/Keyboard.h"

#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "desk/DeskService.h"
#include "shell/basMainSettings.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

QString cell(ui::SpreadGrid* g, int col, int row) { return g->getText(col, row); }

// The title of the demo record behind TP393/S91, as the MARC library reads it.
QString networkTitle()
{
    const QString t = strGetMarcTitle(strReadMarc(QStringLiteral("0000000004")), 0);
    EXPECT_TRUE(t.startsWith(QStringLiteral("计算机网络"))) << t;
    return t;
}

} // namespace

class DeskWindowTest : public DeskUiTest {
protected:
    void SetUp() override
    {
        DeskUiTest::SetUp();
        db().recreate();
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intInitMarcIdx(), 0);
        logIn(QStringLiteral("0001"));
    }

    // The row of a holding location in the holdings grid, 0 when not listed.
    int holdingRow(const QString& location)
    {
        for (int r = 1; r <= form->spdApplyBook->maxRows(); ++r)
            if (cell(form->spdApplyBook, 10, r) == location)
                return r;
        return 0;
    }
};

// Every standing of the demo readers: the refused ones keep the card box open
// with their message, the accepted ones search TP393/S91, request it at the main
// library's stacks and delete the request again.
TEST_F(DeskWindowTest, ServesReadersOfEveryStanding)
{
    struct Case {
        QString card;
        QString name;          // panel box 0
        QStringList messages;  // at the load
        QString placing;       // "" placed, else the refusal shown
    };
    const QList<Case> cases = {
        {"dc01", "王小明", {}, {}},
        {" Dc02 ", "李小红", {}, {}},
        {"DC03", "赵注销", {msg("ELT102", "2026-06-30")}, {}},
        {"DC04", "钱废证", {msg("ELT103")}, {}},
        {"DC05", "孙挂失", {msg("ELT104", dayOffset(-3))}, {}},
        {"DC06", "周过期", {msg("ELT105", dayOffset(-400) + "-" + dayOffset(-1))}, {}},
        {"DC07", "吴停借", {}, {}},
        {"DC08", "郑罚停", {msg("ELT106")}, {}},
        {"DC09", "冯欠款", {msg("ELT107", "10.00")}, {}},
        {"DC10", "陈超期", {msg("ELT108")}, {}},
        {"DC11", "褚异常", {msg("ELT109")}, {}},
        {"DC12", "卫满额", {msg("ELT110")}, {}},
        {"DC13", "蒋到书", {}, {}},
        {"DC14", "沈教师", {}, msg("ELT165")},
        {"DC15", "韩小欠", {}, QStringLiteral("该读者已经委托了该种书")},
    };
    openDesk();
    // A blank card does nothing.
    type(form->txtReader, "   ");
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(g_strCertID, "");
    EXPECT_TRUE(form->fraBack[0]->isEnabled());
    const QString today = dayOffset(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.card.toStdString());
        const QString card = c.card.trimmed().toUpper();
        dialogs.clear();
        opened.clear();
        type(form->txtReader, c.card);
        EXPECT_EQ(shownTexts(), c.messages);
        EXPECT_EQ(form->txtDetail[0]->text(), c.name);
        EXPECT_TRUE(form->tbConsign->isItemEnabled("Detail"));
        EXPECT_EQ(g_strCertID, "DR" + card.mid(2));
        const bool accepted = c.messages.isEmpty();
        EXPECT_EQ(form->fraBack[2]->isEnabled(), accepted);
        EXPECT_EQ(form->fraBack[0]->isEnabled(), !accepted);
        EXPECT_EQ(form->tbConsign->isItemEnabled("ApplyList"), accepted);
        if (!accepted) {
            EXPECT_EQ(form->txtReader->text(), "");
            if (c.messages.first() == msg("ELT106")) {
                EXPECT_EQ(form->stkWork->currentWidget(), form->fraBack[5]);
                EXPECT_EQ(cell(form->spdVolt, 1, 1), QStringLiteral("罚款"));
            }
            form->tbConsign_ButtonClick("Apply");
            continue;
        }
        EXPECT_EQ(form->txtReader->text(), card);
        EXPECT_EQ(form->stkWork->currentWidget(), form->fraBack[2]);
        EXPECT_EQ(opened.contains("frmFindList"), card == "DC13");

        const int before = form->spdApplyList->maxRows();
        type(form->txtApplyBook, "tp393/s91");
        EXPECT_EQ(form->txtApplyBook->text(), "");
        ASSERT_GE(form->spdApplyBook->maxRows(), 2);
        // One title with three call numbers: a drop-down on the exact match.
        EXPECT_EQ(form->spdApplyBook->cellType(1, 1), ui::CellType::ComboBox);
        EXPECT_EQ(cell(form->spdApplyBook, 1, 1), "TP393/S91");
        EXPECT_EQ(cell(form->spdApplyBook, 2, 1), networkTitle());
        EXPECT_EQ(cell(form->spdApplyBook, 0, 1), "*");
        const int a1 = holdingRow("A1"), b1 = holdingRow("B1");
        ASSERT_GT(a1, 0);
        ASSERT_GT(b1, 0);
        EXPECT_EQ(cell(form->spdApplyBook, 5, a1), QStringLiteral("总馆书库"));
        EXPECT_EQ(cell(form->spdApplyBook, 6, a1), "2");
        EXPECT_EQ(cell(form->spdApplyBook, 7, a1), "1");
        // The branch's own stacks take no request from its own desk.
        EXPECT_EQ(button(form->spdApplyBook, 9, b1), nullptr);
        QPushButton* submit = button(form->spdApplyBook, 9, a1);
        ASSERT_NE(submit, nullptr);
        EXPECT_EQ(submit->text(), QStringLiteral("提交"));

        dialogs.clear();
        submit->click();
        if (!c.placing.isEmpty()) {
            EXPECT_EQ(dialogs.lastText(), c.placing);
            EXPECT_FALSE(opened.contains("frmReleKeepDay"));
            EXPECT_EQ(form->spdApplyList->maxRows(), before);
            form->tbConsign_ButtonClick("Apply");
            continue;
        }
        EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText();
        EXPECT_EQ(button(form->spdApplyBook, 9, holdingRow("A1"))->text(), QStringLiteral("提交成功"));
        // The reader's list, newest first and marked.
        ASSERT_EQ(form->spdApplyList->maxRows(), before + 1);
        EXPECT_EQ(cell(form->spdApplyList, 2, 1), "TP393/S91");
        EXPECT_EQ(cell(form->spdApplyList, 3, 1), QStringLiteral("总馆书库"));
        EXPECT_EQ(cell(form->spdApplyList, 4, 1), today);
        EXPECT_EQ(cell(form->spdApplyList, 5, 1), dayOffset(5));
        EXPECT_EQ(cell(form->spdApplyList, 6, 1), "2"); // behind the expired request still waiting
        EXPECT_EQ(cell(form->spdApplyList, 7, 1), networkTitle());
        EXPECT_EQ(form->spdApplyList->rowBackColor(1), QColor(192, 255, 255));
        EXPECT_EQ(db().scalar("select relegate_no || '/' || relegate_keep_days || '/' || relegate_location || '/' || "
                              "wkr_no from relegate_lst where relegate_flag = '0' and call_no = 'TP393/S91' and cert_id = "
                              "'DR" + card.mid(2) + "'"),
                  "2/5/D2/0001");

        // The list page, then the request deleted after the question.
        form->tbConsign->clickItem("ApplyList");
        EXPECT_EQ(form->stkApply->currentWidget(), form->spdApplyList);
        EXPECT_FALSE(form->tbConsign->isItemEnabled("LendDetail"));
        dialogs.answers << ui::BoxAnswer::Ok;
        button(form->spdApplyList, 1, 1)->click();
        EXPECT_EQ(dialogs.lastText(), msg("QCM003"));
        EXPECT_EQ(form->spdApplyList->maxRows(), before);
        EXPECT_EQ(db().scalar("select relegate_flag || relegate_no from relegate_lst where call_no = 'TP393/S91' and "
                              "cert_id = 'DR" + card.mid(2) + "' and relegate_date = '" + today + "'"),
                  "20");
        form->tbConsign->clickItem("ApplyList");
        EXPECT_EQ(form->stkApply->currentWidget(), form->spdApplyBook);
        EXPECT_TRUE(form->tbConsign->isItemEnabled("LendDetail"));

        // Next reader.
        type(form->txtApplyBook, "next");
        EXPECT_TRUE(form->fraBack[0]->isEnabled());
        EXPECT_FALSE(form->fraBack[2]->isEnabled());
        EXPECT_EQ(form->txtDetail[0]->text(), "");
        EXPECT_EQ(form->spdApplyBook->maxRows(), 0);
        EXPECT_FALSE(form->tbConsign->isItemEnabled("Detail"));
    }
}

TEST_F(DeskWindowTest, KeepDaysDialogClosedOrRefusedPlacesNothing)
{
    openDesk();
    type(form->txtReader, "DC02");
    type(form->txtApplyBook, "TP311.12/W23");
    const int a1 = holdingRow("A1");
    ASSERT_GT(a1, 0);
    EXPECT_EQ(cell(form->spdApplyBook, 8, a1), "2");
    const QString count = "select count(*) from relegate_lst where cert_id = 'DR02' and relegate_flag = '0'";

    // Closed by its frame: nothing placed, the button unchanged.
    onDialog = nullptr;
    dialogs.dialogHandler = [](QDialog* d) {
        EXPECT_EQ(d->objectName(), "frmReleKeepDay");
        return 0;
    };
    button(form->spdApplyBook, 9, a1)->click();
    EXPECT_EQ(db().scalar(count), "0");
    EXPECT_EQ(button(form->spdApplyBook, 9, a1)->text(), QStringLiteral("提交"));
    EXPECT_EQ(form->spdApplyList->maxRows(), 0);
    EXPECT_FALSE(LIB_DB_InTrans());

    // In the dialog, days outside 1 .. the most set the box back to the most.
    struct Typed {
        QString text;
        bool closes;
    };
    const QList<Typed> typed = {{"0", false}, {"-2", false}, {"", false}, {"8", false}, {"7", true}};
    QStringList seen;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* k = qobject_cast<frmReleKeepDay*>(d);
        EXPECT_NE(k, nullptr);
        EXPECT_EQ(k->lblMaxKeepDay->text(), "7");
        EXPECT_EQ(k->txtKeepDay->text(), "7");
        EXPECT_EQ(k->lblBeginDate->text(), dayOffset(0));
        for (const Typed& t : typed) {
            k->txtKeepDay->setText(t.text);
            k->cmdOk->click();
            seen << QString::number(k->result()) + ":" + k->txtKeepDay->text() + ":" + k->lblEndDate->text();
            if (k->result() == QDialog::Accepted)
                break;
        }
        return k->result();
    };
    button(form->spdApplyBook, 9, a1)->click();
    const QString end = dayOffset(7);
    EXPECT_EQ(seen, QStringList({"0:7:" + end, "0:7:" + end, "0:7:" + end, "0:7:" + end, "1:7:" + end}));
    EXPECT_EQ(db().scalar("select relegate_no || '/' || relegate_end_date from relegate_lst where cert_id = 'DR02' "
                          "and relegate_flag = '0'"),
              "3/" + end);
}

TEST_F(DeskWindowTest, RefusalStandsBesideTheReaderItRefuses)
{
    // What the panel shows at the moment each box is shown.
    QStringList seen;
    testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
        seen << box.text + "|" + form->txtDetail[0]->text() + "|" + QString::number(form->spdVolt->maxRows());
    });
    openDesk();
    for (const char* card : {"DC08", "DC05", "DC09"}) {
        type(form->txtReader, card);
        form->tbConsign_ButtonClick("Apply");
    }
    EXPECT_EQ(seen, QStringList({msg("ELT106") + QStringLiteral("|郑罚停|1"),
                                 msg("ELT104", dayOffset(-3)) + QStringLiteral("|孙挂失|0"),
                                 msg("ELT107", "10.00") + QStringLiteral("|冯欠款|0")}));
}

TEST_F(DeskWindowTest, GridButtonsByKeyboardAndCountsAfterPlacingAndDeleting)
{
    openDesk();
    type(form->txtReader, "DC02");
    type(form->txtApplyBook, "TP311.12/W23");
    int a1 = holdingRow("A1");
    ASSERT_GT(a1, 0);
    EXPECT_EQ(cell(form->spdApplyBook, 8, a1), "2");

    // Space on the focused button cell places the request.
    form->spdApplyBook->setFocus();
    form->spdApplyBook->setActiveCell(9, a1);
    QTest::keyClick(form->spdApplyBook, Qt::Key_Space);
    ASSERT_EQ(opened, QStringList{"frmReleKeepDay"});
    a1 = holdingRow("A1");
    EXPECT_EQ(cell(form->spdApplyBook, 8, a1), "3");
    EXPECT_EQ(button(form->spdApplyBook, 9, a1)->text(), QStringLiteral("提交成功"));
    ASSERT_EQ(form->spdApplyList->maxRows(), 1);

    // Enter on the list's button deletes it after the question.
    form->tbConsign->clickItem("ApplyList");
    form->spdApplyList->setFocus();
    form->spdApplyList->setActiveCell(1, 1);
    dialogs.answers << ui::BoxAnswer::Ok;
    QTest::keyClick(form->spdApplyList, Qt::Key_Return);
    EXPECT_EQ(dialogs.lastText(), msg("QCM003"));
    EXPECT_EQ(form->spdApplyList->maxRows(), 0);
    a1 = holdingRow("A1");
    EXPECT_EQ(cell(form->spdApplyBook, 8, a1), "2");
    EXPECT_EQ(button(form->spdApplyBook, 9, a1)->text(), QStringLiteral("提交"));
}

// A search finding more titles than a page lists the first page; reaching
// the last listed row from the keyboard lists the next page below it.
TEST_F(DeskWindowTest, KeyboardPastTheListedTitlesListsTheNextPage)
{
    const int page = desk::ConsignDesk::kTitlePage;
    addPagedTitles(2 * page + 2);
    openDesk();
    type(form->txtReader, "DC02");
    type(form->txtApplyBook, "ZPG/");
    ui::SpreadGrid* g = form->spdApplyBook;
    ASSERT_EQ(g->maxRows(), page); // the titles have no copies: one row each
    EXPECT_EQ(cell(g, 11, 1), "1");
    auto listed = [&](int row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(cell(g, 2, row), "PAGED " + cell(g, 1, row).mid(4));
        EXPECT_EQ(cell(g, 3, row), "AUTHOR " + cell(g, 1, row).mid(4));
    };

    // Arrow keys down the first page: its last row brings the second.
    g->setFocus();
    for (int r = 1; r < page; ++r)
        QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(g->activeRow(), page);
    ASSERT_EQ(g->maxRows(), 2 * page);
    EXPECT_EQ(cell(g, 0, page), "*");
    EXPECT_EQ(cell(g, 11, page), "1"); // the row selected lists its holdings as before
    listed(page + 1);
    listed(2 * page);
    EXPECT_EQ(cell(g, 11, page + 1), "");

    // Page Down to the end: the last page.
    for (int i = 0; i < 2 * page && g->activeRow() < g->maxRows(); ++i)
        QTest::keyClick(g, Qt::Key_PageDown);
    EXPECT_EQ(g->maxRows(), 2 * page + 2);
    listed(2 * page + 2);
    QStringList calls;
    for (int r = 1; r <= g->maxRows(); ++r)
        calls << cell(g, 1, r);
    EXPECT_EQ(calls.size(), QSet<QString>(calls.begin(), calls.end()).size());
    EXPECT_TRUE(dialogs.shown.isEmpty()) << shown().toStdString();
}

TEST_F(DeskWindowTest, ModesFollowTheWorkersRights)
{
    logIn(QStringLiteral("0003")); // request mode only
    openDesk();
    EXPECT_TRUE(form->tbConsign->isItemChecked("Apply"));
    dialogs.clear();
    form->Form_KeyUp(113);
    EXPECT_EQ(shownTexts(), QStringList{msg("ECM504")});
    EXPECT_EQ(form->intMode(), 0);
    form->Form_KeyUp(114);
    EXPECT_EQ(form->intMode(), 0);

    logIn(QStringLiteral("0001"));
    // F2 pressed on the keyboard in the card box.
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    form->txtReader->setFocus();
    QTest::keyClick(form->txtReader, Qt::Key_F2);
    EXPECT_EQ(form->intMode(), 1);
    EXPECT_EQ(form->stkWork->currentWidget(), form->fraBack[3]);
    EXPECT_FALSE(form->fraBack[3]->isEnabled());
    EXPECT_TRUE(form->fraBack[0]->isEnabled());
    EXPECT_FALSE(form->tbConsign->isItemChecked("Apply"));

    // The lend mode loads readers the request mode refuses for their loan count,
    // and lists the loans.
    dialogs.clear();
    type(form->txtReader, "DC12");
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText();
    EXPECT_TRUE(form->fraBack[3]->isEnabled());
    EXPECT_EQ(form->spdLendBook->maxRows(), 10);
    EXPECT_EQ(cell(form->spdLendBook, 1, 1).left(5), "B5001");
    EXPECT_EQ(cell(form->spdLendBook, 6, 1), QStringLiteral("分馆书库"));
    EXPECT_EQ(form->tbConsign->isItemEnabled("ApplyList"), false);

    // A loan due today is listed, not overdue.
    form->Form_KeyUp(113);
    type(form->txtReader, "DC14");
    ASSERT_EQ(form->spdLendBook->maxRows(), 1);
    EXPECT_EQ(cell(form->spdLendBook, 5, 1), dayOffset(0));
    EXPECT_NE(form->spdLendBook->rowForeColor(1), QColor(255, 0, 0));

    // F3: the return mode; the card entry closes and the panel caption changes.
    QTest::keyClick(form->txtLendBook, Qt::Key_F3);
    EXPECT_EQ(form->intMode(), 2);
    EXPECT_FALSE(form->fraBack[0]->isEnabled());
    EXPECT_EQ(form->stkWork->currentWidget(), form->fraBack[4]);
    EXPECT_EQ(form->lblTitle[3]->text(), QStringLiteral("条码号："));
    EXPECT_EQ(form->txtDetail[0]->text(), "");

    // F1 back to the request mode, empty.
    QTest::keyClick(form->txtReturnBook, Qt::Key_F1);
    EXPECT_EQ(form->intMode(), 0);
    EXPECT_TRUE(form->tbConsign->isItemChecked("Apply"));
    EXPECT_EQ(form->lblTitle[3]->text(), QStringLiteral("证件号："));
    EXPECT_EQ(form->stkWork->currentWidget(), form->fraBack[2]);
}

TEST_F(DeskWindowTest, FineWindowOpensWhenTheSettingAsks)
{
    openDesk();
    g_intFineLend = 1;
    type(form->txtReader, "DC15");
    g_intFineLend = 0;
    EXPECT_TRUE(opened.contains("frmLendFine"));
    EXPECT_FALSE(LIB_DB_InTrans()); // the fine rows are no longer locked
    EXPECT_EQ(form->txtDetail[8]->text(), "0.50");
    EXPECT_TRUE(form->fraBack[2]->isEnabled());
}

TEST_F(DeskWindowTest, SearchFieldIsKeptPerUser)
{
    openDesk();
    EXPECT_EQ(form->cmbQuery->currentIndex(), 0);
    form->cmbQuery->setCurrentIndex(2);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    openDesk();
    EXPECT_EQ(form->cmbQuery->currentText(), QStringLiteral("责任者"));

    // Searching by the statement of responsibility.
    type(form->txtReader, "DC02");
    type(form->txtApplyBook, QStringLiteral("孙立群"));
    EXPECT_EQ(cell(form->spdApplyBook, 2, 1), networkTitle());
    dialogs.clear();
    type(form->txtApplyBook, QStringLiteral("无此作者"));
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("所查询书刊不存在！"));
    EXPECT_EQ(form->spdApplyBook->maxRows(), 0);
}

TEST_F(DeskWindowTest, LoansOfATitleAtALocation)
{
    openDesk();
    type(form->txtReader, "DC02");
    type(form->txtApplyBook, "TP393/S91");
    const int a1 = holdingRow("A1");
    ASSERT_GT(a1, 0);
    form->spdApplyBook->setActiveCell(5, a1);
    form->tbConsign->clickItem("LendDetail");
    EXPECT_EQ(form->stkApply->currentWidget(), form->spdLendDetail);
    EXPECT_FALSE(form->tbConsign->isItemEnabled("ApplyList"));
    ASSERT_EQ(form->spdLendDetail->maxRows(), 1);
    EXPECT_EQ(cell(form->spdLendDetail, 1, 1), "TP393/S91");
    EXPECT_EQ(cell(form->spdLendDetail, 2, 1), "P500012");
    EXPECT_EQ(cell(form->spdLendDetail, 3, 1), QStringLiteral("总馆书库"));

    // Another call number of the drop-down lists its own locations.
    form->tbConsign->clickItem("LendDetail");
    auto* combo = qobject_cast<QComboBox*>(form->spdApplyBook->cellWidgetAt(1, 1));
    ASSERT_NE(combo, nullptr);
    const int other = combo->findText("TP393/S91A");
    ASSERT_GE(other, 0);
    combo->setCurrentIndex(other);
    emit combo->activated(other);
    EXPECT_EQ(form->logic().selectedCallNo(), "TP393/S91A");
    EXPECT_EQ(holdingRow("A1"), 0);
    EXPECT_GT(holdingRow("B1"), 0);
}

TEST_F(DeskWindowTest, MainWindowServiceOpensOneDesk)
{
    QMdiArea frame;
    frame.resize(1100, 760);
    frame.show();
    desk::DeskService& service = desk::deskService();
    EXPECT_TRUE(service.provides());
    service.showDesk(&frame, "Apply");
    form = frmConsign::instance();
    ASSERT_NE(form, nullptr);
    type(form->txtReader, "DC02");
    EXPECT_FALSE(form->fraBack[0]->isEnabled());

    // Opened again: the same desk, reset to an empty request mode.
    service.showDesk(&frame, "Apply");
    EXPECT_EQ(frmConsign::instance(), form.data());
    EXPECT_EQ(frame.subWindowList().size(), 1);
    EXPECT_TRUE(form->fraBack[0]->isEnabled());
    EXPECT_EQ(form->txtDetail[0]->text(), "");

    service.showDesk(&frame, "Lend");
    EXPECT_EQ(form->intMode(), 1);
    service.unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmConsign::instance(), nullptr);
    EXPECT_TRUE(frame.subWindowList().isEmpty());
}

// Pictures of the desk serving a reader (saved for a look at the layout when
// DESKUI_GRAB names a file prefix): each shows what the worker must see.
TEST_F(DeskWindowTest, PicturesShowTheDeskServingAReader)
{
    const QString path = qEnvironmentVariable("DESKUI_GRAB");
    QStringList pictures;
    // A picture of a window: as large as the window, not one plain colour.
    auto picture = [&](QWidget* w, const QString& name) {
        const QImage image = w->grab().toImage();
        EXPECT_EQ(image.size(), w->size()) << name.toStdString();
        QImage plain(image.size(), image.format());
        plain.fill(image.pixel(0, 0));
        EXPECT_NE(image, plain) << name.toStdString();
        if (!path.isEmpty())
            image.save(path + "-" + name + ".png");
        pictures << name;
    };
    const auto handler = dialogs.dialogHandler;
    dialogs.dialogHandler = [&](QDialog* d) {
        if (!d->testAttribute(Qt::WA_Resized))
            d->adjustSize(); // as a first show does
        picture(d, d->objectName());
        return handler(d);
    };
    openDesk();
    form->resize(1100, 640);
    type(form->txtReader, "DC13");
    form->tbConsign->clickItem("Detail");
    form->tbConsign->clickItem("Auth");
    form->tbConsign->clickItem("Rule");
    EXPECT_EQ(form->txtDetail[0]->text(), QStringLiteral("蒋到书"));
    form->tbConsign_ButtonClick("Apply");
    type(form->txtReader, "DC01");
    type(form->txtApplyBook, "TP393/S91");
    button(form->spdApplyBook, 9, holdingRow("A1"))->click();
    EXPECT_EQ(form->stkApply->currentWidget(), form->spdApplyBook);
    EXPECT_EQ(button(form->spdApplyBook, 9, holdingRow("A1"))->text(), QStringLiteral("提交成功"));
    picture(form, "request");
    form->tbConsign->clickItem("ApplyList");
    EXPECT_EQ(form->stkApply->currentWidget(), form->spdApplyList);
    EXPECT_EQ(cell(form->spdApplyList, 2, 1), "TP393/S91");
    picture(form, "list");
    form->tbConsign_ButtonClick("Apply");
    type(form->txtReader, "DC08");
    EXPECT_EQ(form->stkWork->currentWidget(), form->fraBack[5]);
    EXPECT_EQ(cell(form->spdVolt, 1, 1), QStringLiteral("罚款"));
    picture(form, "volt");
    EXPECT_EQ(pictures, QStringList({"frmFindList", "frmRedrDetail", "frmRedrAuth", "frmRedrRule", "frmReleKeepDay",
                                     "request", "list", "volt"}));
}

// The desk by keyboard: each bar command answers its mnemonic; 提交 pressed with
// Space puts the focus back in the title box, so the next call number is
// typed there, and Tab leaves the holdings grid.
TEST_F(DeskWindowTest, KeyboardBarAndFocusAfterPlacing)
{
    openDesk();
    ASSERT_TRUE(testsupport::activate(form));
    type(form->txtReader, "DC02");
    testsupport::expectBarKeyed(form, form->tbConsign);
    type(form->txtApplyBook, "TP311.12/W23");
    const int a1 = holdingRow("A1");
    ASSERT_GT(a1, 0);

    form->spdApplyBook->setFocus();
    form->spdApplyBook->setActiveCell(9, a1);
    QTest::keyClick(form->spdApplyBook, Qt::Key_Space);
    ASSERT_EQ(opened, QStringList{"frmReleKeepDay"});
    ASSERT_EQ(form->spdApplyList->maxRows(), 1);
    EXPECT_TRUE(form->txtApplyBook->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // typed, not a second press
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(form->spdApplyList->maxRows(), 1);
    form->txtApplyBook->clear();
    type(form->txtApplyBook, "TP393/S91");
    EXPECT_GT(form->spdApplyBook->maxRows(), 0);

    form->spdApplyBook->setFocus();
    QTest::keyClick(form->spdApplyBook, Qt::Key_Tab);
    EXPECT_FALSE(form->spdApplyBook->hasFocus());

    // The two list toggles shut each other out: each is pressed on and off.
    const struct {
        Qt::Key key;
        const char* item;
        QWidget* shown;
    } keys[] = {{Qt::Key_L, "ApplyList", form->spdApplyList},   {Qt::Key_L, "ApplyList", form->spdApplyBook},
                {Qt::Key_I, "LendDetail", form->spdLendDetail}, {Qt::Key_I, "LendDetail", form->spdApplyBook},
                {Qt::Key_D, "Detail", nullptr},                 {Qt::Key_A, "Auth", nullptr},
                {Qt::Key_R, "Rule", nullptr}};
    for (const auto& k : keys) {
        EXPECT_EQ(testsupport::pressMnemonic(form->tbConsign, k.key), QString::fromLatin1(k.item));
        if (k.shown)
            EXPECT_TRUE(k.shown->isVisible()) << k.item;
    }
    EXPECT_EQ(opened, QStringList({"frmReleKeepDay", "frmRedrDetail", "frmRedrAuth", "frmRedrRule"}));
}
