#pragma once
// The host as the suite sets it up, for the commands that show data: the main
// thread, the sample database and the user's preferences at once; on request the
// modules of the module folder and the one renderer registry, told that the
// application has initialised so that the modules register their renderers.
#include "XString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class XDataVolumeSequence;
class XVolumeRendererManager;

class XHostSetup {
public:
    XHostSetup();
    ~XHostSetup();
    XHostSetup(const XHostSetup&) = delete;
    XHostSetup& operator=(const XHostSetup&) = delete;

    // Loads every module of the module folder and makes the registry. A module that
    // does not load throws XException kModuleLoadError naming it and saying why.
    // Later calls return the same registry.
    XVolumeRendererManager& LoadRenderers();

    // The file's stack, or the built-in sample for an empty path, with progress on
    // stderr. A missing or unreadable file throws an XException naming it. A channel
    // whose file stores no display range gets one from its histogram (see
    // XVolumeLevelScalingHelper::GetAutoDisplayRange); outAutoRanges, when given,
    // says per channel (from 0) which ones.
    static std::unique_ptr<XDataVolumeSequence> ReadSample(const std::string& inPath,
                                                           std::vector<bool>* outAutoRanges = nullptr);
    // Stores the sequence in the database; returns its sample ID.
    uint32_t AddSample(std::unique_ptr<XDataVolumeSequence> inSequence);

    // How the user names the data: the file, or the built-in sample.
    static std::string DescribeSource(const std::string& inPath);

private:
    void LoadModules();

    std::unique_ptr<XVolumeRendererManager> itsRenderers;
};
