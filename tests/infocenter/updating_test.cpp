// Update-note files and the update-notes window offscreen.
#include "infocenter/InfoCenterService.h"
#include "infocenter/frmLastUpdating.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

using testsupport::writeBytes;

namespace {

const QString kSig = QStringLiteral("qn.qorlan.lt4");

QByteArray noteFile(const QString& release, const QStringList& items, const QString& sig = kSig,
                    const QString& beforeHeader = {}) {
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><updates>") + beforeHeader +
                  QStringLiteral("<properties><property name=\"数字签名\" value=\"%1\"/>"
                                 "<property name=\"发布时间\" value=\"%2\"/></properties>")
                      .arg(sig, release);
    for (const QString& i : items)
        xml += i;
    return (xml + QStringLiteral("</updates>")).toUtf8();
}

QString item(const QString& subject, const QString& catalog, const QString& extra = {}) {
    return QStringLiteral("<item subject=\"%1\" catalog=\"%2\" date=\"2024-01-01\" level=\"一般\" "
                          "descript=\"说明%1\" %3/>")
        .arg(subject, catalog, extra);
}

class UpdatingTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QList<UpdateItem> load(bool* ok = nullptr) {
        QList<UpdateItem> items;
        QString folder = dir.path() + "/";
        const bool r = UpdatingReader().LoadUpdatings(folder, kSig, items);
        if (ok) *ok = r;
        EXPECT_EQ(folder, dir.path()); // the trailing separator is removed from the caller's text
        return items;
    }
    QStringList subjects(const QList<UpdateItem>& items) const {
        QStringList out;
        for (const UpdateItem& u : items)
            out.append(u.Subject);
        return out;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(UpdatingTest, WhichFilesAndItemsAreRead) {
    bool ok = false;
    EXPECT_TRUE(load(&ok).isEmpty());
    EXPECT_TRUE(ok); // an empty folder is read to its end

    writeBytes(path("a.xml"), noteFile("2024-01", {item("a1", "X"), item("a2", "Y")}, kSig, item("a0", "X")));
    writeBytes(path("B.txt"), noteFile("2024-01", {item("b1", "Y")}));
    writeBytes(path("c.xml"), noteFile("2024-02", {item("c1", "X")}, kSig + " "));
    writeBytes(path("d.xml"), noteFile("2024-02", {item("d1", "X")}, "QN.QORLAN.LT4"));
    writeBytes(path("e.xml"), noteFile("", {item("e1", "X")}));
    writeBytes(path("f.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    writeBytes(path("g.xml"), "plain text, not XML");
    // Names in other case; nested items and a second properties element are not read;
    // the release time may stand before the signature.
    writeBytes(path("h.xml"), u"<R><PROPERTIES><Property NAME=\"发布时间\" Value=\"2024-03\"/>"
                              "<PROPERTY name=\"数字签名\" VALUE=\"qn.qorlan.lt4\"/></PROPERTIES>"
                              "<ITEM SUBJECT=\"h1\" Other=\"x\"/><group><item subject=\"nested\"/></group>"
                              "<properties><property name=\"数字签名\" value=\"other\"/></properties>"
                              "<Item/></R>"_qs.toUtf8());
    // The first properties element decides, even when a later one carries the signature.
    writeBytes(
        path("i.xml"),
        u"<R><properties/><properties><property name=\"数字签名\" value=\"qn.qorlan.lt4\"/>"
        "<property name=\"发布时间\" value=\"2024-04\"/></properties><item subject=\"i1\"/></R>"_qs.toUtf8());
    // A second, different signature ends the scan: the release time after it is not read.
    writeBytes(path("j.xml"),
               u"<R><properties><property name=\"数字签名\" value=\"qn.qorlan.lt4\"/>"
               "<property name=\"数字签名\" value=\"x\"/><property name=\"发布时间\" value=\"t\"/>"
               "</properties><item subject=\"j1\"/></R>"_qs.toUtf8());
    QDir(dir.path()).mkdir("sub");
    writeBytes(path("sub/k.xml"), noteFile("2024-05", {item("k1", "X")}));

    const QList<UpdateItem> items = load(&ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(subjects(items), (QStringList{"a0", "a1", "a2", "b1", "h1", ""}));
    EXPECT_EQ(items[0].ReleaseTime, "2024-01");
    EXPECT_EQ(items[0].FilePath, path("a.xml"));
    EXPECT_EQ(items[1].Descript, u"说明a1"_qs);
    EXPECT_EQ(items[1].Level, u"一般"_qs);
    EXPECT_EQ(items[1].Date, "2024-01-01");
    EXPECT_EQ(items[3].ReleaseTime, "2024-01"); // two files, one release time
    EXPECT_EQ(items[4].ReleaseTime, "2024-03");
    EXPECT_EQ(items[5].FilePath, path("h.xml"));
    EXPECT_EQ(items[5].Catalog, "");

    QList<UpdateItem> none;
    QString empty;
    EXPECT_FALSE(UpdatingReader().LoadUpdatings(empty, kSig, none));
    QString missing = dir.path() + "/nowhere";
    EXPECT_FALSE(UpdatingReader().LoadUpdatings(missing, kSig, none));
}

TEST_F(UpdatingTest, TheItemListStopsAt32767) {
    QString xml;
    for (int i = 0; i < 20000; ++i)
        xml += QStringLiteral("<item subject=\"s%1\"/>").arg(i);
    writeBytes(path("1.xml"), noteFile("r1", {xml}));
    writeBytes(path("2.xml"), noteFile("r2", {xml}));
    bool ok = true;
    const QList<UpdateItem> items = load(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(items.size(), 32767);
}

TEST_F(UpdatingTest, GroupsInFirstMetOrderItemsReversed) {
    QList<UpdateItem> items;
    for (auto [s, r, c] :
         {std::tuple{"1", "R1", "X"}, {"2", "R2", "Y"}, {"3", "R1", "Y"}, {"4", "R2", "X"}, {"5", "", ""}}) {
        UpdateItem u;
        u.Subject = s;
        u.ReleaseTime = r;
        u.Catalog = c;
        items.append(u);
    }
    const QList<UpdateGroup> byTime = groupUpdatings(items, false);
    ASSERT_EQ(byTime.size(), 3);
    EXPECT_EQ(byTime[0].Key, "R1");
    EXPECT_EQ(byTime[0].Items, (QList<int>{2, 0}));
    EXPECT_EQ(byTime[1].Items, (QList<int>{3, 1}));
    EXPECT_EQ(byTime[2].Key, "");
    const QList<UpdateGroup> byCatalog = groupUpdatings(items, true);
    EXPECT_EQ(byCatalog[0].Key, "X");
    EXPECT_EQ(byCatalog[0].Items, (QList<int>{3, 0}));
    EXPECT_EQ(byCatalog[1].Items, (QList<int>{2, 1}));
}

namespace {

class UpdatingWindowTest : public UpdatingTest {
protected:
    void SetUp() override {
        writeBytes(path("a.xml"), noteFile("2024-01", {item("a1", "X"), item("a2", "Y")}));
        writeBytes(path("b.xml"), noteFile("2024-02", {item("b1", "X"), item("b2", "Z")}));
        form.m_Signature = kSig;
        form.m_LoadPath = dir.path();
        form.Form_Load();
        form.show();
        grid = form.vsUpdating;
    }
    QStringList column(int col) const {
        QStringList out;
        for (int r = 1; r < grid->rows(); ++r)
            out.append(grid->textMatrix(r, col).section('\n', 0, 0));
        return out;
    }
    frmLastUpdating form;
    ui::FlexGrid* grid = nullptr;
};

} // namespace

TEST_F(UpdatingWindowTest, ThreeViews) {
    EXPECT_TRUE(form.windowTitle().endsWith(u" - 最新更新"_qs));
    EXPECT_EQ(form.m_DisplayMode, 0);
    EXPECT_TRUE(form.mnuDisplayByGroup->isChecked());
    EXPECT_TRUE(form.mnuDisplayByIssueID->isChecked());
    EXPECT_FALSE(form.mnuDisplayByCatalog->isChecked());
    EXPECT_EQ(grid->cols(), 6);
    EXPECT_EQ(grid->textMatrix(0, 1), u"内容"_qs);
    EXPECT_TRUE(grid->colHidden(5));
    EXPECT_EQ(column(1), (QStringList{"2024-01", "a2", "a1", "2024-02", "b2", "b1"}));
    EXPECT_TRUE(form.blnIsGroupRow(1));
    EXPECT_FALSE(form.blnIsGroupRow(2));
    EXPECT_FALSE(form.blnIsGroupRow(-1));
    EXPECT_EQ(grid->columnSpan(1, 1), 4);
    EXPECT_EQ(grid->textMatrix(2, 1), u"a2\n  说明a2"_qs);
    EXPECT_EQ(grid->textMatrix(2, 5), path("a.xml"));
    // The text column takes the width the others leave.
    int used = 0;
    for (int c = 0; c < grid->cols(); ++c)
        used += grid->colHidden(c) ? 0 : grid->columnWidth(c);
    EXPECT_LE(used, grid->viewport()->width());
    EXPECT_GE(used, grid->viewport()->width() - 10);

    form.mnuDisplayByCatalog->trigger();
    EXPECT_EQ(form.m_DisplayMode, 1);
    EXPECT_FALSE(form.mnuDisplayByIssueID->isChecked());
    EXPECT_EQ(column(1), (QStringList{"X", "b1", "a1", "Y", "a2", "Z", "b2"}));
    form.mnuDisplayByCatalog->trigger(); // ticked already: nothing
    EXPECT_TRUE(form.mnuDisplayByCatalog->isChecked());

    form.mnuDisplayByGroup->trigger();
    EXPECT_EQ(form.m_DisplayMode, 2);
    EXPECT_FALSE(form.mnuDisplayByIssueID->isEnabled());
    EXPECT_FALSE(form.mnuDisplayByCatalog->isEnabled());
    EXPECT_EQ(grid->cols(), 7);
    EXPECT_EQ(column(2), (QStringList{"a1", "a2", "b1", "b2"}));
    EXPECT_EQ(column(1), (QStringList{"2024-01", "2024-01", "2024-02", "2024-02"}));
    // Sorting only in the flat list: ascending first, then alternating.
    form.vsUpdating_HeadingClick(3);
    EXPECT_EQ(column(3), (QStringList{"X", "X", "Y", "Z"}));
    form.vsUpdating_HeadingClick(3);
    EXPECT_EQ(column(3), (QStringList{"Z", "Y", "X", "X"}));

    form.mnuDisplayByGroup->trigger(); // back to the category view, unsorted
    EXPECT_EQ(form.m_DisplayMode, 1);
    EXPECT_TRUE(form.mnuDisplayByIssueID->isEnabled());
    form.vsUpdating_HeadingClick(1);
    EXPECT_EQ(column(1).first(), "X");
}

TEST_F(UpdatingWindowTest, CollapseExpandZoomAndTheColumnHeadingMenu) {
    form.subSetGroupExpanded(1, false);
    EXPECT_FALSE(form.blnIsGroupExpanded(1));
    EXPECT_TRUE(grid->rowHidden(2));
    EXPECT_TRUE(grid->rowHidden(3));
    EXPECT_FALSE(grid->rowHidden(4)); // the next header
    EXPECT_FALSE(grid->rowHidden(5));
    // A left press on the picture column toggles; a press elsewhere does not.
    const QRect pic = grid->visualRect(grid->model()->index(1, 0));
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, pic.center());
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, pic.center());
    EXPECT_TRUE(form.blnIsGroupExpanded(1));
    EXPECT_FALSE(grid->rowHidden(2));
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, pic.center());
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, pic.center());
    EXPECT_TRUE(form.blnIsGroupExpanded(1));
    emit grid->cellDoubleClicked(4, 2);
    EXPECT_FALSE(form.blnIsGroupExpanded(4));
    emit grid->cellDoubleClicked(1, 0);
    EXPECT_TRUE(form.blnIsGroupExpanded(1));

    for (int i = 0; i < 13; ++i)
        form.mnuFontZoomIn_Click();
    EXPECT_DOUBLE_EQ(form.fontSize(), 15.0);
    QTest::keyClick(grid, '-');
    EXPECT_DOUBLE_EQ(form.fontSize(), 14.5);
    for (int i = 0; i < 20; ++i)
        form.mnuFontZoomOut_Click();
    EXPECT_DOUBLE_EQ(form.fontSize(), 8.0);
    form.mnuDisplayByCatalog->trigger(); // a new view: 9 pt, every group expanded
    EXPECT_DOUBLE_EQ(form.fontSize(), 9.0);
    EXPECT_EQ(grid->font().pointSizeF(), 9.0);

    form.vsUpdating_HeadingClick(0);
    EXPECT_TRUE(form.mnuPop->isVisible());
    form.mnuPop->hide();
    // The picture column stays first.
    grid->horizontalHeader()->moveSection(0, 2);
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(0), 0);
    grid->horizontalHeader()->moveSection(3, 1);
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(3), 1);
}

TEST_F(UpdatingWindowTest, F5OpensTheNotesFileReadOnly) {
    grid->setCurrentCell(1, 1); // a header: nothing
    emit grid->cellClicked(1, 1);
    EXPECT_FALSE(form.mnnViewInExplorer->isEnabled());
    QTest::keyClick(grid, Qt::Key_F5);
    EXPECT_EQ(form.viewer(), nullptr);

    grid->setCurrentCell(2, 1);
    QTest::keyClick(grid, Qt::Key_F5); // works with the menu entry disabled
    ASSERT_NE(form.viewer(), nullptr);
    EXPECT_TRUE(form.viewer()->isReadOnly());
    EXPECT_TRUE(form.viewer()->toPlainText().contains(u"说明a2"_qs));
    EXPECT_EQ(grid->col(), 5);
}

TEST(UpdatingService, OpensTheWindowModallyOnTheFolder) {
    QTemporaryDir dir;
    writeBytes(dir.filePath("n.xml"), noteFile("r", {item("s", "c")}));
    ui::ScriptedDialogService dialogs;
    int rows = -1;
    QString title;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* f = qobject_cast<frmLastUpdating*>(d);
        rows = f ? f->vsUpdating->rows() : -1;
        title = d->windowTitle();
        return 0;
    };
    infocenter::infoCenterService().showLastUpdating(nullptr, kSig, dir.path() + "/");
    EXPECT_EQ(rows, 3);
    EXPECT_TRUE(title.endsWith(u" - 最新更新"_qs));
}

TEST(UpdatingService, AnEmptyFolderShowsTheHeadingRowOnly) {
    QTemporaryDir dir;
    frmLastUpdating form;
    form.m_Signature = kSig;
    form.m_LoadPath = dir.path() + "/none";
    form.Form_Load();
    EXPECT_EQ(form.vsUpdating->rows(), 1);
    form.mnnViewInExplorer_Click();
    EXPECT_EQ(form.viewer(), nullptr);
}
