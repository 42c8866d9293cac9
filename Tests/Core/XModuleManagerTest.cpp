#include "XAppInitialisedMessage.h"
#include "XException.h"
#include "XModuleManager.h"
#include "XSessionLogManager.h"
#include "XTestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace fs = std::filesystem;

namespace {
const fs::path kBuiltModules = KESTRIN_CORE_TEST_MODULE_DIR;

// Texts of the session-log entries that contain inText, in the order written.
std::vector<std::string> LogTexts(const char* inText)
{
    std::vector<std::string> texts;
    for (const auto& e : XSessionLogManager::GetManager()->FindEntries(inText))
        texts.push_back(e.text.GetStdString());
    return texts;
}
} // namespace

TEST(XModuleManager, LoadsTheModuleFolderInNameOrderAndSkipsLibrariesAndFoldersThatFail)
{
    fs::path dir = XTestEnvironment::MakeTempDir("modules");
    fs::copy_file(kBuiltModules / "KestrinTestModule.so", dir / "b-second.so");
    fs::copy_file(kBuiltModules / "KestrinTestModule.so", dir / "a-first.so");
    fs::copy_file(kBuiltModules / "KestrinTestModuleNoEntry.so", dir / "c-no-entry.so");
    std::ofstream(dir / "d-garbage.so") << "not a shared library";
    std::ofstream(dir / "notes.txt") << "ignored";
    setenv("KESTRIN_MODULE_DIR", dir.c_str(), 1);

    XModuleManager& manager = XModuleManager::GetModuleManager();
    EXPECT_EQ(manager.GetModuleDirectory(), XString(dir.string()));
    size_t before = manager.GetModuleCount();
    EXPECT_EQ(manager.LoadModules(), 2u);
    unsetenv("KESTRIN_MODULE_DIR"); // without it, the folder beside the executable
    EXPECT_EQ(manager.GetModuleDirectory(), XString((fs::read_symlink("/proc/self/exe").parent_path() / "modules").string()));
    ASSERT_EQ(manager.GetModuleCount(), before + 2);
    XVector<XString> paths = manager.GetModulePaths();
    EXPECT_TRUE(paths[before].EndsWith("/a-first.so"));
    EXPECT_TRUE(paths[before + 1].EndsWith("/b-second.so"));

    auto noEntry = LogTexts((dir / "c-no-entry.so").c_str());
    ASSERT_EQ(noEntry.size(), 1u);
    EXPECT_NE(noEntry[0].find("no entry point KestrinModuleHandleMessage"), std::string::npos);
    auto garbage = LogTexts((dir / "d-garbage.so").c_str());
    ASSERT_EQ(garbage.size(), 1u);
    EXPECT_NE(garbage[0].find("was not loaded because"), std::string::npos);

    // Loading again changes nothing.
    EXPECT_TRUE(manager.LoadModule(XString((dir / "a-first.so").string())));
    EXPECT_EQ(manager.LoadModulesFrom(XString(dir.string())), 0u);
    EXPECT_EQ(manager.GetModuleCount(), before + 2);

    XAppInitialisedMessage message;
    manager.SendMessageToModules(message, 7);
    // Each module once, in name order, with the message's type and delivery.
    const std::string type = typeid(XAppInitialisedMessage).name();
    EXPECT_EQ(LogTexts("(delivery 7)"), (std::vector<std::string>{"Test module a-first.so received " + type + " (delivery 7)",
                                                                  "Test module b-second.so received " + type + " (delivery 7)"}));
}

TEST(XModuleManager, BuiltInModulesGetMessagesInOrderAndAFailingOneDoesNotStopTheRest)
{
    XModuleManager& manager = XModuleManager::GetModuleManager();
    // Registered modules stay for the process: they hold their own state, not the test's.
    auto heard = std::make_shared<std::vector<std::string>>();
    static int sRound = 0;
    std::string trouble = "module trouble " + std::to_string(++sRound);
    manager.RegisterBuiltInModule("built-in thrower", [heard, trouble](const XMessage&, uint32_t) {
        heard->push_back("thrower");
        throw XException(XException::kBadArgument, XString(trouble));
    });
    manager.RegisterBuiltInModule("built-in listener", [heard](const XMessage& inMessage, uint32_t inDelivery) {
        if (typeid(inMessage) == typeid(XAppInitialisedMessage))
            heard->push_back("listener " + std::to_string(inDelivery));
    });
    EXPECT_EQ(manager.GetModulePaths().back(), XString("built-in listener"));
    XAppInitialisedMessage message;
    manager.SendMessageToModules(message, 0);
    EXPECT_EQ(*heard, (std::vector<std::string>{"thrower", "listener 0"}));
    EXPECT_EQ(LogTexts(trouble.c_str()).size(), 1u);
}
