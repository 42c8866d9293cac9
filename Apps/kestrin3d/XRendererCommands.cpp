#include "XRendererCommands.h"

#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XHostSetup.h"
#include "XModuleManager.h"
#include "XVolumeRendererManager.h"

#include <iomanip>

void XRendererCommands::AddTo(XCommandTable& inOutTable)
{
    inOutTable.Add({"renderers", "", "[--set-default ID]",
                    "list the volume renderers of the loaded modules, or choose the default one",
                    "The default renderer draws 'kestrin3d render' unless --renderer names another.\n"
                    "Modules are loaded from the folder 'modules' beside kestrin3d, or from\n"
                    "KESTRIN_MODULE_DIR when it is set.\n\n"
                    "Options:\n"
                    "  --set-default ID   make renderer ID the default, in the user's preferences\n"
                    "                     (KESTRIN_PREFS_FILE when set); default: list only\n",
                    &XRendererCommands::Renderers});
}

std::string XRendererCommands::ListRenderers(XVolumeRendererManager& inRegistry)
{
    std::string text;
    for (XVolumeRendererStrategy* strategy : inRegistry.GetStrategyList())
        text += (text.empty() ? "" : ", ") + std::to_string(strategy->GetID()) + " " +
                strategy->GetName().GetStdString();
    return text;
}

int XRendererCommands::Renderers(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "renderers", {"--set-default"});
    arguments.ExpectAtMostPositionals(0);
    XHostSetup host;
    XVolumeRendererManager& registry = host.LoadRenderers();
    const XString folder = XModuleManager::GetModuleManager().GetModuleDirectory();

    if (arguments.Has("--set-default")) {
        const uint64_t id = arguments.GetUInt64("--set-default", 0);
        XVolumeRendererStrategy* strategy = id <= 0xFFFFFFFFu ? registry.FindStrategy(uint32_t(id)) : nullptr;
        if (!strategy) {
            if (registry.GetRendererCount() == 0)
                throw XUsageError("there is no renderer " + std::to_string(id) + ": no module in " +
                                  folder.GetStdString() +
                                  " registers one; build the renderer modules or set KESTRIN_MODULE_DIR");
            throw XUsageError("there is no renderer " + std::to_string(id) + "; give one of " +
                              ListRenderers(registry));
        }
        registry.SetDefaultRendererStrategy(uint32_t(id));
        inOut << "The default volume renderer is now " << id << " " << strategy->GetName() << ".\n";
        return XCommandTable::kSuccess;
    }

    if (registry.GetRendererCount() == 0) {
        inOut << "No volume renderers: no module in " << folder
              << " registers one. Build the renderer modules (./kestrin build) or set KESTRIN_MODULE_DIR to "
                 "their folder.\n";
        return XCommandTable::kSuccess;
    }
    XVolumeRendererStrategy* defaultStrategy = registry.GetDefaultRendererStrategy();
    inOut << "ID      Name\n";
    for (XVolumeRendererStrategy* strategy : registry.GetStrategyList())
        inOut << std::left << std::setw(8) << strategy->GetID() << strategy->GetName()
              << (strategy == defaultStrategy ? "  (default)" : "") << "\n";
    return XCommandTable::kSuccess;
}
