#pragma once
// The base of every renderer. A renderer keeps the scene state it shows
// (XRendererSceneState) and turns changes of it into its own settings through
// SetSceneStateSelf. It also says how each state moves between two scenes
// (GetStateValueAtTime), which keyframe movies use to make their frames.
//
// Value layouts of the shared states (column vectors, elements as (row, column)):
//
// Camera, state 0: a 4 x 4 rigid camera-to-world transform M, so that a point p
// given in the camera's own frame lies at M * (p, 1) in world coordinates:
//   column 0, rows 0-2: the camera's right axis (unit length),
//   column 1, rows 0-2: its up axis (unit length),
//   column 2, rows 0-2: its backward axis (unit length); the camera looks along
//                       minus column 2,
//   column 3, rows 0-2: the eye position,
//   row 3:              (0, 0, 0, 1).
// The three axes form a right-handed orthonormal basis (right x up = backward).
// The view matrix is the inverse of M. The look-at point is not stored: a camera
// made from the state looks along -column 2 (MakeCameraStateValue builds the
// value from an eye point, a look-at point and an up vector). The default camera
// is at (0, 0, 2) looking at the origin with up (0, 1, 0), i.e. M is the identity
// with column 3 = (0, 0, 2, 1).
//
// Rotation, state 1: a 3 x 3 proper rotation (orthonormal, determinant +1)
// applied to the volume, column-vector convention (v' = R * v).
//
// Positions, states 9 and 18: 3 x 1 column vectors (x, y, z).
//
// Colours, states 12, 14, 15, 16, 37-40, 45: 4 x 1 column vectors holding the
// bytes (0-255) alpha, red, green, blue in rows 0-3. States that only need a
// colour without alpha read rows 1-3 (MakeColourStateValue, GetColourFromStateValue).
//
// Flags, modes and scalars: 1 x 1 matrices; "on" means the first element is not 0
// unless the state's description (XRendererSceneState.h) says exactly 1.0.
#include "XARGB32Colour.h"
#include "X3DMatrix.h"
#include "XRendererSceneState.h"

#include <mutex>

class XRenderer {
public:
    // How a state's value moves between two scenes.
    enum class XStateInterpolation {
        kHold,     // the earlier value until the fraction reaches 1 (flags, modes, unknown states)
        kLinear,   // element by element (positions, colours, scalars)
        kRotation, // spherical, along the shorter arc (state 1)
        kCamera,   // rigid motion: orientation spherically, eye position linearly (state 0)
    };

    XRenderer() = default;
    virtual ~XRenderer() = default;
    XRenderer(const XRenderer&) = delete;
    XRenderer& operator=(const XRenderer&) = delete;

    // A copy of the scene state the renderer shows.
    XRendererSceneState GetSceneState() const;
    // Takes every state of inState (value and enabled flag) into the renderer's
    // scene state, keeping states inState does not hold, then lets the renderer
    // apply inState through SetSceneStateSelf.
    void SetSceneState(const XRendererSceneState& inState);
    // Whether this renderer does something with a state (tools and the bookmark
    // user interface offer only supported states).
    bool IsSceneStateSupported(XRendererStateName inName) const { return IsSceneStateSupportedSelf(inName); }
    // The value the renderer shows: its enabled state, else the default.
    X3DMatrix GetSceneStateValue(XRendererStateName inName, uint32_t inChannel = 0) const;
    // The value a state has when no scene sets it.
    X3DMatrix GetDefaultSceneStateValue(XRendererStateName inName, uint32_t inChannel = 0) const;

    // The value of a state at fraction inTime (0 at inFrom, 1 at inTo; clamped into
    // 0..1, NaN taken as 0). A state enabled in only one of the scenes takes that
    // scene's value; enabled in neither, the default.
    X3DMatrix GetStateValueAtTime(XRendererStateName inName, uint32_t inChannel, const XRendererSceneState& inFrom,
                                  const XRendererSceneState& inTo, float inTime) const;

    static XStateInterpolation GetStateInterpolation(XRendererStateName inName);

    // Value helpers for the layouts described above.
    static X3DMatrix MakeCameraStateValue(const X3DMatrix& inEye, const X3DMatrix& inLookAt, const X3DMatrix& inUp);
    static X3DMatrix MakeColourStateValue(const XARGB32Colour& inColour);
    // Bytes from rows 0-3, clamped into 0..255; inDefault when the value is too small or not finite.
    static XARGB32Colour GetColourFromStateValue(const X3DMatrix& inValue, const XARGB32Colour& inDefault);
    static X3DMatrix MakeScalarStateValue(double inValue) { return X3DMatrix(1, 1, inValue); }

    // The interpolations themselves. Values of another size than the kind needs
    // (or differing in size, or not a proper rigid motion) are held instead.
    static X3DMatrix InterpolateHold(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime);
    static X3DMatrix InterpolateLinear(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime);
    static X3DMatrix InterpolateRotation(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime);
    static X3DMatrix InterpolateCamera(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime);

protected:
    // Applies the states of inState that are present and enabled. Called after the
    // renderer's own scene state was updated, without the state lock held.
    virtual void SetSceneStateSelf(const XRendererSceneState& inState);
    virtual bool IsSceneStateSupportedSelf(XRendererStateName inName) const;
    virtual X3DMatrix GetDefaultSceneStateValueSelf(XRendererStateName inName, uint32_t inChannel) const;
    // Both scenes hold the state; inTime is within 0..1.
    virtual X3DMatrix GetStateValueAtTimeSelf(XRendererStateName inName, uint32_t inChannel,
                                              const XRendererSceneState& inFrom, const XRendererSceneState& inTo,
                                              float inTime) const;

private:
    mutable std::mutex itsSceneStateMutex; // exports read the state from job threads
    XRendererSceneState itsSceneState;
};
