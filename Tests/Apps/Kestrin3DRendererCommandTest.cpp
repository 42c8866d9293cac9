// The renderers command of kestrin3d and the module loading behind it: which
// renderers the modules of a folder register, and the user's stored default.
#include "XKestrin3DRunner.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace XKestrin3DRunner;

#if !defined(KESTRIN_TEST_RENDERER_MODULE) || !defined(KESTRIN_SLICE_STACK_MODULE)
#error "the suite passes the paths of the test renderer module and the slice-stack module"
#endif

namespace {
// A module folder holding links to the given module libraries.
std::string ModuleFolder(const std::vector<std::string>& inModules)
{
    const std::string folder = XTestEnvironment::MakeTempDir("modules");
    for (const std::string& module : inModules)
        std::filesystem::create_symlink(module, folder + "/" + std::filesystem::path(module).filename().string());
    return folder;
}

std::map<std::string, std::string> Environment(const std::string& inModules, const std::string& inPrefs)
{
    return {{"KESTRIN_MODULE_DIR", inModules}, {"KESTRIN_PREFS_FILE", inPrefs}};
}

// The line of the listing that names the renderer.
std::string LineOf(const std::string& inListing, const std::string& inName)
{
    const size_t at = inListing.find(inName);
    if (at == std::string::npos)
        return "";
    const size_t start = inListing.rfind('\n', at) + 1;
    return inListing.substr(start, inListing.find('\n', at) - start);
}
} // namespace

TEST(Kestrin3DRenderers, ListsTheModulesRenderersAndKeepsTheChosenDefault)
{
    const std::string prefs = XTestEnvironment::MakeTempDir("prefs") + "/prefs";
    const auto env = Environment(ModuleFolder({KESTRIN_SLICE_STACK_MODULE, KESTRIN_TEST_RENDERER_MODULE}), prefs);

    const XRun list = RunKestrin3D({"renderers"}, env);
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const std::string sliceStack = LineOf(list.out, "Slice Stack");
    const std::string testModule = LineOf(list.out, "Test Module Renderer");
    EXPECT_TRUE(Contains(sliceStack, "1001")) << list.out;
    EXPECT_TRUE(Contains(testModule, "32343")) << list.out;
    EXPECT_NE(Contains(sliceStack, "(default)"), Contains(testModule, "(default)")) << "exactly one default";

    // Whichever is not the default now becomes it, and stays so in a new run.
    const bool sliceStackWasDefault = Contains(sliceStack, "(default)");
    const std::string chosen = sliceStackWasDefault ? "32343" : "1001";
    ASSERT_TRUE(Ran(RunKestrin3D({"renderers", "--set-default", chosen}, env), 0, {chosen}));
    EXPECT_TRUE(Contains(ReadFile(prefs), "Default Renderer ID")) << "stored in the user's preferences";
    const XRun after = RunKestrin3D({"renderers"}, env);
    EXPECT_TRUE(Contains(LineOf(after.out, chosen), "(default)")) << after.out;
    EXPECT_FALSE(Contains(LineOf(after.out, sliceStackWasDefault ? "1001" : "32343"), "(default)")) << after.out;

    // The known renderers are offered.
    EXPECT_TRUE(Ran(RunKestrin3D({"renderers", "--set-default", "77"}, env), 2, {"no renderer 77", "1001 Slice Stack"}));
    EXPECT_TRUE(Contains(LineOf(RunKestrin3D({"renderers"}, env).out, chosen), "(default)")) << "the refused ID changed nothing";

    EXPECT_TRUE(Ran(RunKestrin3D({"renderers", "--set-default", "fast"}, env), 2, {"whole number"}));
}

TEST(Kestrin3DRenderers, AnEmptyOrBrokenModuleFolderIsExplained)
{
    const std::string prefs = XTestEnvironment::MakeTempDir("prefs") + "/prefs";
    const std::string empty = ModuleFolder({});
    EXPECT_TRUE(Ran(RunKestrin3D({"renderers"}, Environment(empty, prefs)), 0, {"No volume renderers", "KESTRIN_MODULE_DIR"}));

    const XRun renderNone = RunKestrin3D({"render", "-o", empty + "/view.png"}, Environment(empty, prefs));
    EXPECT_TRUE(Ran(renderNone, 1, {"registers a volume renderer"}));
    EXPECT_FALSE(Contains(renderNone.err, "Making the built-in sample")) << "refused before the sample is made";

    const std::string broken = ModuleFolder({KESTRIN_TEST_RENDERER_MODULE});
    std::ofstream(broken + "/libBroken.so") << "not a shared library";
    EXPECT_TRUE(Ran(RunKestrin3D({"renderers"}, Environment(broken, prefs)), 1, {"libBroken.so", "remove it from the module folder"}));

    // A strategy that makes no renderer: the command fails cleanly, no picture.
    const std::string out = XTestEnvironment::MakeTempDir("pictures") + "/view.png";
    EXPECT_TRUE(Ran(RunKestrin3D({"render", "--renderer", "32343", "--size", "32x32", "-o", out},
                                 Environment(ModuleFolder({KESTRIN_TEST_RENDERER_MODULE}), prefs)),
                    1, {"made no renderer"}));
    EXPECT_FALSE(FileExists(out));
}
