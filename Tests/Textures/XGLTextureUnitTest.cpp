// Scoped texture-unit guards.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XGLActiveClientTextureUnit.h"
#include "XGLActiveTextureUnit.h"
#include "XGLContextLock.h"
#include "XGLTextureUnitMasterState.h"
#include "XGLTextureUnitState.h"
#include "XGLTextureUnits.h"

#include <gtest/gtest.h>

namespace {
const auto Query = TextureTest::GLInteger;

bool EnabledOn(uint32_t inUnit, GLenum inTarget)
{
    XGLActiveTextureUnit unit(inUnit);
    return glIsEnabled(inTarget);
}

using XGLTextureUnitTest = TextureTest::XContextTest;
} // namespace

TEST_F(XGLTextureUnitTest, GuardsSwitchBackTheActiveUnitAndRestoreEachUnitsTarget)
{
    {
        XGLActiveTextureUnit unit(GL_TEXTURE1_ARB);
        EXPECT_EQ(Query(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE1_ARB);
    }
    EXPECT_EQ(Query(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    {
        XGLActiveTextureUnit remember; // only remembers: a switch inside is undone
        glActiveTextureARB(GL_TEXTURE1_ARB);
    }
    EXPECT_EQ(Query(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    {
        XGLActiveClientTextureUnit unit(GL_TEXTURE1_ARB);
        EXPECT_EQ(Query(GL_CLIENT_ACTIVE_TEXTURE_ARB), GL_TEXTURE1_ARB);
        EXPECT_EQ(Query(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    }
    EXPECT_EQ(Query(GL_CLIENT_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);

    // A unit's state restores the target in effect, and only that one.
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    {
        XGLTextureUnitState state(GL_TEXTURE1_ARB);
        EXPECT_EQ(state.GetEnabledTarget(), uint32_t(GL_TEXTURE_2D));
        EXPECT_EQ(Query(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_3D);
        glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    EXPECT_TRUE(EnabledOn(GL_TEXTURE1_ARB, GL_TEXTURE_2D));
    EXPECT_FALSE(EnabledOn(GL_TEXTURE1_ARB, GL_TEXTURE_3D)) << "3D would hide the restored 2D target";
    EXPECT_EQ(Query(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);

    // The master state undoes every unit, unit 1's 2D target included.
    const uint32_t last = GetLastTextureUnit();
    {
        XGLActiveTextureUnit unit(last);
        glEnable(GL_TEXTURE_1D);
    }
    {
        XGLTextureUnitMasterState master;
        EXPECT_EQ(master.GetUnitCount(), GetMaxTextureUnits());
        for (uint32_t unit = GL_TEXTURE0_ARB; unit <= last; ++unit) {
            XGLActiveTextureUnit active(unit);
            glEnable(GL_TEXTURE_3D);
        }
        glActiveTextureARB(GL_TEXTURE1_ARB);
    }
    for (uint32_t unit = GL_TEXTURE0_ARB; unit < last; ++unit) {
        EXPECT_FALSE(EnabledOn(unit, GL_TEXTURE_3D)) << unit;
        EXPECT_EQ(EnabledOn(unit, GL_TEXTURE_2D), unit == GL_TEXTURE1_ARB) << unit;
    }
    EXPECT_TRUE(EnabledOn(last, GL_TEXTURE_1D));
    EXPECT_FALSE(EnabledOn(last, GL_TEXTURE_3D));
    EXPECT_EQ(Query(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE1_ARB) << "the master state changed the active unit";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
