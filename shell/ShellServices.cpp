#include "shell/ShellServices.h"

namespace shell {

namespace {

template <class T>
struct Slot {
    T fallback;
    T* current = nullptr;
    T& get() { return current ? *current : fallback; }
};

Slot<ConsignDeskService> g_desk;
Slot<ConsignManageService> g_manage;
Slot<ReaderService> g_reader;
Slot<BookInfoService> g_bookInfo;
Slot<InfoCenterService> g_infoCenter;
Slot<ExtendService> g_extend;
Slot<ToolsService> g_tools;

} // namespace

ConsignDeskService& Services::desk() { return g_desk.get(); }
ConsignManageService& Services::manage() { return g_manage.get(); }
ReaderService& Services::reader() { return g_reader.get(); }
BookInfoService& Services::bookInfo() { return g_bookInfo.get(); }
InfoCenterService& Services::infoCenter() { return g_infoCenter.get(); }
ExtendService& Services::extend() { return g_extend.get(); }
ToolsService& Services::tools() { return g_tools.get(); }

void Services::install(ConsignDeskService* s) { g_desk.current = s; }
void Services::install(ConsignManageService* s) { g_manage.current = s; }
void Services::install(ReaderService* s) { g_reader.current = s; }
void Services::install(BookInfoService* s) { g_bookInfo.current = s; }
void Services::install(InfoCenterService* s) { g_infoCenter.current = s; }
void Services::install(ExtendService* s) { g_extend.current = s; }
void Services::install(ToolsService* s) { g_tools.current = s; }

void Services::reset()
{
    g_desk.current = nullptr;
    g_manage.current = nullptr;
    g_reader.current = nullptr;
    g_bookInfo.current = nullptr;
    g_infoCenter.current = nullptr;
    g_extend.current = nullptr;
    g_tools.current = nullptr;
}

} // namespace shell
