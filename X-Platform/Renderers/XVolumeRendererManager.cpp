#include "XVolumeRendererManager.h"

#include "XAppInitialisedMessage.h"
#include "XAppMessageCentre.h"
#include "XAssert.h"
#include "XException.h"
#include "XModuleManager.h"
#include "XUserPrefsSaver.h"

#include <typeinfo>

XVolumeRendererManager* XVolumeRendererManager::sRendererManager = nullptr;

XVolumeRendererManager& XVolumeRendererManager::GetManager()
{
    return *sRendererManager;
}

XVolumeRendererManager::XVolumeRendererManager()
{
    X_ASSERT(!sRendererManager);
    sRendererManager = this;
    Subscribe(XAppMessageCentre::GetAppMessageCentre());
}

XVolumeRendererManager::~XVolumeRendererManager()
{
    itsStrategies.DeleteAll();
    if (sRendererManager == this)
        sRendererManager = nullptr;
}

uint64_t XVolumeRendererManager::GetRendererCount()
{
    return itsStrategies.size();
}

void XVolumeRendererManager::RegisterRendererStrategy(XVolumeRendererStrategy* inStrategy)
{
    const uint32_t order = inStrategy->GetSortOrder();
    if (order == 0)
        return; // declined: stays with the caller
    for (auto it = itsStrategies.begin(); it != itsStrategies.end(); ++it) {
        if ((*it)->GetSortOrder() > order) {
            itsStrategies.insert(it, inStrategy);
            return;
        }
    }
    itsStrategies.push_back(inStrategy);
}

XVolumeRendererStrategy* XVolumeRendererManager::FindStrategy(uint32_t inID)
{
    for (XVolumeRendererStrategy* s : itsStrategies)
        if (s->GetID() == inID)
            return s;
    return nullptr;
}

XVolumeRendererStrategy* XVolumeRendererManager::GetDefaultRendererStrategy()
{
    XUserPrefsSaver prefs;
    const uint32_t id = prefs.Read32Defaulted(kPrefsSection, kDefaultRendererKey, 0);
    if (XVolumeRendererStrategy* stored = FindStrategy(id))
        return stored;
    if (itsStrategies.empty())
        return nullptr;
    for (XVolumeRendererStrategy* s : itsStrategies)
        if (s->IsDefaultCandidate())
            return s;
    return itsStrategies.front();
}

void XVolumeRendererManager::SetDefaultRendererStrategy(uint32_t inID)
{
    uint32_t id = inID;
    X_ASSERT(FindStrategy( id ) != 0);
    XUserPrefsSaver prefs;
    prefs.Write32(kPrefsSection, kDefaultRendererKey, id);
}

void XVolumeRendererManager::GetStrategies(XVector<unsigned long>& outIDs)
{
    for (XVolumeRendererStrategy* s : itsStrategies)
        outIDs.push_back(s->GetID());
}

void XVolumeRendererManager::GetRendererNames(XVector<XString>& outNames)
{
    for (XVolumeRendererStrategy* s : itsStrategies)
        outNames.push_back(s->GetName());
}

void XVolumeRendererManager::AttachDefaultRenderer(XVolumeRenderingViewProtocol& inView)
{
    XVolumeRendererStrategy* strategy = GetDefaultRendererStrategy();
    if (!strategy)
        throw XException(XException::kNoRenderer, "no volume renderer is registered; check that the renderer modules are installed");
    AttachRenderer(strategy->GetID(), inView);
}

void XVolumeRendererManager::AttachRenderer(uint32_t inID, XVolumeRenderingViewProtocol& inView)
{
    XVolumeRendererStrategy* strategy = FindStrategy(inID);
    if (!strategy)
        throw XException(XException::kNoRenderer,
                         XString("no volume renderer has the ID %1").Replace(static_cast<int64_t>(inID)));
    strategy->AttachRenderer(inView);
}

const XPtrVector<XVolumeRendererStrategy>& XVolumeRendererManager::GetStrategyList() const
{
    return itsStrategies;
}

bool XVolumeRendererManager::IsPrefPropertySupported(XVolumeRendererStrategy::XPrefProperty inProperty)
{
    for (XVolumeRendererStrategy* s : itsStrategies)
        if (s->IsPrefPropertySupported(inProperty))
            return true;
    return false;
}

void XVolumeRendererManager::DetectRendererPlugins()
{
    XRegisterVolumeRendererMessage message(this);
    XModuleManager::GetModuleManager().SendMessageToModules(message, 0);
}

void XVolumeRendererManager::HandleMessage(const XMessage& inMessage)
{
    // Exactly the initialised message: messages derived from it do not start detection.
    if (typeid(inMessage) == typeid(XAppInitialisedMessage))
        DetectRendererPlugins();
}
