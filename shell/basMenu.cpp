#include "shell/basMenu.h"

#include <QHash>

namespace {

MenuEntry cmd(const char* key, const QString& caption, bool describe = true)
{
    MenuEntry e;
    e.key = QString::fromLatin1(key);
    e.caption = caption;
    e.describe = describe;
    return e;
}

MenuEntry sep(const char* key)
{
    MenuEntry e;
    e.key = QString::fromLatin1(key);
    e.style = 1;
    e.describe = false;
    return e;
}

MenuEntry check(const char* key, const QString& caption)
{
    MenuEntry e = cmd(key, caption);
    e.style = 4;
    return e;
}

} // namespace

const QList<MenuGroup>& menuGroups()
{
    static const QList<MenuGroup> groups = [] {
        QList<MenuGroup> g;
        g.append({QStringLiteral("mnuConsign"), QStringLiteral("委托借阅(&C)"),
                  {cmd("mnuConsignApply", QStringLiteral("委托申请")), sep("mnuBar11"),
                   cmd("mnuConsignFind", QStringLiteral("书刊划到")),
                   cmd("mnuConsignApplyList", QStringLiteral("申请清单")),
                   cmd("mnuConsignFindList", QStringLiteral("划到清单")), sep("mnuBar12"),
                   cmd("mnuConsignCheck", QStringLiteral("书刊验收")),
                   cmd("mnuConsignReturnList", QStringLiteral("回库清单")),
                   cmd("mnuConsignCheckList", QStringLiteral("验收清单")), sep("mnuBar13"),
                   cmd("mnuConsignApplyManage", QStringLiteral("委托申请管理")),
                   cmd("mnuConsignFindManage", QStringLiteral("委托划到管理")), sep("mnuBar14"),
                   cmd("mnuLogin", QStringLiteral("重新登录")), cmd("mnuExit", QStringLiteral("退出系统"))}});
        g.append({QStringLiteral("mnuStat"), QStringLiteral("统计查询(&S)"),
                  {cmd("mnuStatWork", QStringLiteral("工作量统计")), sep("mnuBar31"),
                   cmd("mnuStatReader", QStringLiteral("读者信息查询")),
                   cmd("mnuStatBook", QStringLiteral("书刊信息查询"))}});
        g.append({QStringLiteral("mnuOption"), QStringLiteral("参数代码(&P)"),
                  {cmd("mnuOptionEmailOption", QStringLiteral("邮件选项")),
                   cmd("mnuOptionBarReadRule", QStringLiteral("条码读取规则"))}});
        MenuEntry findText = cmd("mnuFindText", QStringLiteral("查找表格文本"), false);
        findText.keyCode = 70;
        findText.shiftMask = 2;
        g.append({QStringLiteral("mnuTool"), QStringLiteral("工具(&T)"),
                  {findText, sep("mnuToolSeparator1"), cmd("mnuToolTheme", QStringLiteral("界面主题(&T)"), false),
                   cmd("mnuToolAddins", QStringLiteral("插件管理(&E)"), false), sep("mnuToolSeparator2"),
                   cmd("mnuToolNews", QStringLiteral("消息管理中心(&N)"), false)}});
        g.append({QStringLiteral("mnuWindow"), QStringLiteral("窗口(&W)"),
                  {check("mnuWindowToolbar", QStringLiteral("工具栏")),
                   check("mnuWindowStatusBar", QStringLiteral("状态栏")), sep("mnuBar41"),
                   cmd("mnuWindowTileHorizontal", QStringLiteral("横向平铺")),
                   cmd("mnuWindowTileVertical", QStringLiteral("纵向平铺")),
                   cmd("mnuWindowCascade", QStringLiteral("层叠")),
                   cmd("mnuWindowArrangeIcons", QStringLiteral("排列图标"))}});
        g.append({QStringLiteral("mnuHelp"), QStringLiteral("帮助(&H)"),
                  {cmd("mnuHelpContents", QStringLiteral("目录(&C)"), false),
                   cmd("mnuLastUpdating", QStringLiteral("最新更新"), false), sep("mnuHelpSeparator1"),
                   cmd("mnuHelpAbout", QStringLiteral("关于(&A)..."), false)}});
        return g;
    }();
    return groups;
}

const QList<MenuEntry>& hiddenMenuItems()
{
    static const QList<MenuEntry> items = {cmd("mnuToolFeedback", QStringLiteral("信息反馈(&F)"), false),
                                           sep("mnuToolSeparator3"),
                                           cmd("mnuToolUpgrade", QStringLiteral("在线智能升级(&U)"), false)};
    return items;
}

const QList<ToolEntry>& toolbarEntries()
{
    static const QList<ToolEntry> entries = {
        {QStringLiteral("Split1"), 1, {}, {}},
        {QStringLiteral("Apply"), 0, QStringLiteral("Apply"), QStringLiteral("委托申请")},
        {QStringLiteral("Split2"), 1, {}, {}},
        {QStringLiteral("Find"), 0, QStringLiteral("Find"), QStringLiteral("书刊划到")},
        {QStringLiteral("ApplyList"), 0, QStringLiteral("ApplyList"), QStringLiteral("申请清单")},
        {QStringLiteral("FindList"), 0, QStringLiteral("FindList"), QStringLiteral("划到清单")},
        {QStringLiteral("Split3"), 1, {}, {}},
        {QStringLiteral("Check"), 0, QStringLiteral("Find"), QStringLiteral("书刊验收")},
        {QStringLiteral("ReturnList"), 0, QStringLiteral("ApplyList"), QStringLiteral("回库清单")},
        {QStringLiteral("CheckList"), 0, QStringLiteral("FindList"), QStringLiteral("验收清单")},
        {QStringLiteral("Split4"), 1, {}, {}},
    };
    return entries;
}

QString strMenuRight(const QString& key)
{
    static const QHash<QString, QString> rights = {
        {QStringLiteral("mnuConsignApply"), QStringLiteral("4026")},
        {QStringLiteral("Apply"), QStringLiteral("4026")},
        {QStringLiteral("mnuConsignLend"), QStringLiteral("4027")},
        {QStringLiteral("Lend"), QStringLiteral("4027")},
        {QStringLiteral("mnuConsignReturn"), QStringLiteral("4028")},
        {QStringLiteral("Return"), QStringLiteral("4028")},
        {QStringLiteral("mnuConsignFind"), QStringLiteral("4029")},
        {QStringLiteral("Find"), QStringLiteral("4029")},
        {QStringLiteral("mnuConsignApplyList"), QStringLiteral("4029")},
        {QStringLiteral("ApplyList"), QStringLiteral("4029")},
        {QStringLiteral("mnuConsignFindList"), QStringLiteral("4029")},
        {QStringLiteral("FindList"), QStringLiteral("4029")},
        {QStringLiteral("mnuConsignCheck"), QStringLiteral("4030")},
        {QStringLiteral("Check"), QStringLiteral("4030")},
        {QStringLiteral("mnuConsignReturnList"), QStringLiteral("4030")},
        {QStringLiteral("ReturnList"), QStringLiteral("4030")},
        {QStringLiteral("mnuConsignCheckList"), QStringLiteral("4030")},
        {QStringLiteral("CheckList"), QStringLiteral("4030")},
        {QStringLiteral("mnuConsignApplyManage"), QStringLiteral("4031")},
        {QStringLiteral("mnuConsignFindManage"), QStringLiteral("4032")},
    };
    return rights.value(key);
}
