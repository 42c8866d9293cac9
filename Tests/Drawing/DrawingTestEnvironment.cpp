// Cairo keeps fonts (and fontconfig patterns) in process-wide caches; releasing them
// when the suite ends keeps the leak checker of sanitizer builds to our own memory.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

class XCairoCacheRelease : public ::testing::Environment {
public:
    void TearDown() override
    {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

[[maybe_unused]] const auto* sRelease = ::testing::AddGlobalTestEnvironment(new XCairoCacheRelease);

} // namespace
