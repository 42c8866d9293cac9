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
    const XRun set = RunKestrin3D({"renderers", "--set-default", chosen}, env);
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_TRUE(Contains(set.out, chosen));
    EXPECT_TRUE(Contains(ReadFile(prefs), "Default Renderer ID")) << "stored in the user's preferences";
    const XRun after = RunKestrin3D({"renderers"}, env);
    EXPECT_TRUE(Contains(LineOf(after.out, chosen), "(default)")) << after.out;
    EXPECT_FALSE(Contains(LineOf(after.out, sliceStackWasDefault ? "1001" : "32343"), "(default)")) << after.out;

    const XRun unknown = RunKestrin3D({"renderers", "--set-default", "77"}, env);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(Contains(unknown.err, "no renderer 77")) << unknown.err;
    EXPECT_TRUE(Contains(unknown.err, "1001 Slice Stack")) << "the known renderers are offered";
    EXPECT_TRUE(Contains(LineOf(RunKestrin3D({"renderers"}, env).out, chosen), "(default)")) << "the refused ID changed nothing";

    const XRun notANumber = RunKestrin3D({"renderers", "--set-default", "fast"}, env);
    EXPECT_EQ(notANumber.exitCode, 2);
    EXPECT_TRUE(Contains(notANumber.err, "whole number")) << notANumber.err;
}

TEST(Kestrin3DRenderers, AnEmptyOrBrokenModuleFolderIsExplained)
{
    const std::string prefs = XTestEnvironment::MakeTempDir("prefs") + "/prefs";
    const std::string empty = ModuleFolder({});
    const XRun none = RunKestrin3D({"renderers"}, Environment(empty, prefs));
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(Contains(none.out, "No volume renderers")) << none.out;
    EXPECT_TRUE(Contains(none.out, "KESTRIN_MODULE_DIR"));

    const XRun renderNone = RunKestrin3D({"render", "-o", empty + "/view.png"}, Environment(empty, prefs));
    EXPECT_EQ(renderNone.exitCode, 1);
    EXPECT_TRUE(Contains(renderNone.err, "registers a volume renderer")) << renderNone.err;
    EXPECT_FALSE(Contains(renderNone.err, "Making the built-in sample")) << "refused before the sample is made";

    const std::string broken = ModuleFolder({KESTRIN_TEST_RENDERER_MODULE});
    std::ofstream(broken + "/libBroken.so") << "not a shared library";
    const XRun failed = RunKestrin3D({"renderers"}, Environment(broken, prefs));
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(Contains(failed.err, "libBroken.so")) << failed.err;
    EXPECT_TRUE(Contains(failed.err, "remove it from the module folder")) << failed.err;

    // A strategy that makes no renderer: the command fails cleanly, no picture.
    const std::string out = XTestEnvironment::MakeTempDir("pictures") + "/view.png";
    const XRun nothing =
        RunKestrin3D({"render", "--renderer", "32343", "--size", "32x32", "-o", out},
            Environment(ModuleFolder({KESTRIN_TEST_RENDERER_MODULE}), prefs));
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(Contains(nothing.err, "made no renderer")) << nothing.err;
    EXPECT_FALSE(FileExists(out));
}
