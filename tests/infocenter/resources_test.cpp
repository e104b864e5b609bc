// The information-centre content a new program folder starts with.
#include "infocenter/basNews.h"
#include "infocenter/basUpdating.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

QString resources() {
    return qEnvironmentVariable("CONSIGN_SOURCE_DIR") + QStringLiteral("/resources/");
}

} // namespace

TEST(InfoCenterResources, NewsOfEachKindAndSettings) {
    NewsSetting s;
    QString error;
    EXPECT_TRUE(blnReadNewsSettingFile(resources() + "InfoCenter/setting.ini", s, &error));
    EXPECT_FALSE(s.LastNewsTime.isEmpty());

    const QList<NewsItem> items = listStoredNews(resources() + "InfoCenter/News/");
    QStringList types;
    for (const NewsItem& i : items) {
        types.append(i.NewsType);
        EXPECT_FALSE(i.Subject.isEmpty());
        EXPECT_EQ(i.NewsID, i.Folder);
        if (i.NewsType == "W") {
            EXPECT_TRUE(QFileInfo(resources() + "InfoCenter/News/" + i.Folder + "/index.htm").isFile());
        }
        if (i.NewsType == "L") {
            EXPECT_TRUE(i.Content.startsWith("https://"));
        }
    }
    types.sort();
    EXPECT_EQ(types, (QStringList{"L", "T", "W"}));
}

TEST(InfoCenterResources, UpdateNotesOfThisProgram) {
    QString folder = resources() + u"Update/流通委托"_qs;
    QList<UpdateItem> items;
    EXPECT_TRUE(UpdatingReader().LoadUpdatings(folder, "qn.qorlan.lt4", items));
    EXPECT_GE(items.size(), 5);
    EXPECT_GE(groupUpdatings(items, false).size(), 2);
}
