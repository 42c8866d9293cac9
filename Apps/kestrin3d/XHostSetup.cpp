#include "XHostSetup.h"

#include "XAppMessageCentre.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XModuleManager.h"
#include "XProgress.h"
#include "XSampleDB.h"
#include "XSessionLogManager.h"
#include "XSyntheticSample.h"
#include "XTIFFSequenceImporter.h"
#include "XThread.h"
#include "XVolumeRendererManager.h"

#include <algorithm>
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
    namespace fs = std::filesystem;
    XModuleManager& modules = XModuleManager::GetModuleManager();
    const XString folder = modules.GetModuleDirectory();
    std::vector<fs::path> libraries;
    std::error_code ec;
    for (fs::directory_iterator it(folder.GetStdString(), ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".so" && it->is_regular_file(ec))
            libraries.push_back(it->path());
    if (ec && ec != std::errc::no_such_file_or_directory)
        throw XException(XException::kModuleLoadError,
                         XString("the module folder %1 cannot be read (%2); fix its permissions or set "
                                 "KESTRIN_MODULE_DIR to another folder")
                             .Replace(folder)
                             .Replace(XString(ec.message())));
    // Name order, as the module manager loads them, so failures come in a stable order.
    std::sort(libraries.begin(), libraries.end());
    for (const fs::path& library : libraries) {
        const XString path(library.string());
        if (modules.LoadModule(path))
            continue;
        // The module manager logged why; that text names the module and the remedy.
        const std::vector<XSessionLogManager::Entry> entries =
            XSessionLogManager::GetManager()->FindEntries(XString(library.filename().string()));
        throw XException(XException::kModuleLoadError,
                         entries.empty() ? XString("the module %1 could not be loaded; reinstall it or remove it "
                                                   "from the module folder")
                                               .Replace(path)
                                         : entries.back().text);
    }
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

std::unique_ptr<XDataVolumeSequence> XHostSetup::ReadSample(const std::string& inPath)
{
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
    auto sequence = XTIFFSequenceImporter::Import(XString(inPath), &progress);
    progress.Done();
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
