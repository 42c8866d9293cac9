#pragma once
// The "renderers" command of kestrin3d: the volume renderers the loaded modules
// registered, and the user's choice of default among them.
#include <ostream>
#include <string>
#include <vector>

class XCommandTable;
class XVolumeRendererManager;

class XRendererCommands {
public:
    static void AddTo(XCommandTable& inOutTable);

    // The registered IDs and names as "1001 Slice Stack, 7 Other", for messages.
    static std::string ListRenderers(XVolumeRendererManager& inRegistry);

private:
    static int Renderers(const std::vector<std::string>& inArguments, std::ostream& inOut);
};
