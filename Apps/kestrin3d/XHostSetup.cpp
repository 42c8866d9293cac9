#include "XHostSetup.h"

#include "XAppMessageCentre.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XImageRenderer.h"
#include "XModuleManager.h"
#include "XProgress.h"
#include "XSampleDB.h"
#include "XSessionLogManager.h"
#include "XSyntheticSample.h"
#include "XTIFFSequenceImporter.h"
#include "XThread.h"
#include "XVolumeLevelScalingHelper.h"
#include "XVolumeRendererManager.h"

#include <filesystem>
#include <vector>

XHostSetup::XHostSetup()
{
    XThread::SetMainThread();
}

XHostSetup::~XHostSetup()
{
    // Renderers made from the registry's strategies are gone by now (their views
    // belong to the commands); the registry frees the strategies.
    itsRenderers.reset();
}

void XHostSetup::LoadModules()
{
    // The module manager logs each library it cannot load (naming it, with the reason
    // and the remedy) and goes on; here a broken module is an error the user sees.
    XSessionLogManager& log = *XSessionLogManager::GetManager();
    const size_t before = log.GetEntries().size();
    XModuleManager::GetModuleManager().LoadModules();
    const std::vector<XSessionLogManager::Entry> entries = log.GetEntries();
    for (size_t i = before; i < entries.size(); ++i)
        if (entries[i].severity >= XSessionLogManager::kWarning)
            throw XException(XException::kModuleLoadError, entries[i].text);
}

XVolumeRendererManager& XHostSetup::LoadRenderers()
{
    if (itsRenderers)
        return *itsRenderers;
    LoadModules();
    itsRenderers = std::make_unique<XVolumeRendererManager>();
    XAppMessageCentre::GetAppMessageCentre().SendAppInitialised();
    return *itsRenderers;
}

namespace {
// Whole-range levels of 16-bit or 12-bit data drown the structure in one bright block;
// levels from the histogram show it as a viewer's auto-contrast would.
void SetAutoRanges(XDataVolumeSequence& inOutSequence, const std::vector<bool>& inStored, std::vector<bool>* outAuto)
{
    for (uint32_t c = 1; c <= inOutSequence.GetChannelCount(); ++c) {
        bool automatic = false;
        std::unique_ptr<XImageRenderer> renderer(inOutSequence.GetRendererCopy(c));
        if (renderer && !(c <= inStored.size() && inStored[c - 1])) {
            std::vector<std::shared_ptr<const XVolume>> held;
            std::vector<const XVolume*> volumes;
            for (uint32_t t = 1; t <= inOutSequence.GetTimepointCount(); ++t) {
                held.push_back(inOutSequence.GetVolume(c, t));
                volumes.push_back(held.back().get());
            }
            double black = 0, white = 0;
            if (XVolumeLevelScalingHelper::GetAutoDisplayRange(volumes, black, white)) {
                renderer->SetDisplayRange(black, white);
                inOutSequence.SetRenderer(c, *renderer);
                automatic = true;
            }
        }
        if (outAuto)
            outAuto->push_back(automatic);
    }
}
} // namespace

std::unique_ptr<XDataVolumeSequence> XHostSetup::ReadSample(const std::string& inPath, std::vector<bool>* outAutoRanges)
{
    if (outAutoRanges)
        outAutoRanges->clear();
    if (inPath.empty()) {
        XProgress progress("Making the built-in sample");
        auto sequence = XSyntheticSample::Make(XSyntheticSample::Settings(), &progress);
        progress.Done();
        sequence->SetName("built-in sample");
        return sequence;
    }
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(inPath, ec);
    if (!std::filesystem::exists(status))
        throw XException(XException::kFileError,
                         XString("%1 does not exist; check the path, or leave FILE out to use the built-in sample")
                             .Replace(XString(inPath)));
    if (std::filesystem::is_directory(status))
        throw XException(XException::kFileError,
                         XString("%1 is a folder; give a TIFF file in it").Replace(XString(inPath)));
    XProgress progress(XString("Reading %1").Replace(XString(inPath)));
    std::vector<bool> stored;
    auto sequence = XTIFFSequenceImporter::Import(XString(inPath), &progress, &stored);
    progress.Done();
    SetAutoRanges(*sequence, stored, outAutoRanges);
    sequence->SetName(XString(std::filesystem::path(inPath).filename().string()));
    return sequence;
}

uint32_t XHostSetup::AddSample(std::unique_ptr<XDataVolumeSequence> inSequence)
{
    return XSampleDB::GetDB().AddSample(std::move(inSequence));
}

std::string XHostSetup::DescribeSource(const std::string& inPath)
{
    return inPath.empty() ? std::string("the built-in sample") : inPath;
}
