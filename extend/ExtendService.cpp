#include "extend/ExtendService.h"

#include "extend/cAddinsCollection.h"

namespace extend {

std::unique_ptr<shell::AddinsCollection> ExtendServiceImpl::createAddins()
{
    return std::make_unique<cAddinsCollection>();
}

ExtendServiceImpl& extendService()
{
    static ExtendServiceImpl service;
    return service;
}

} // namespace extend
