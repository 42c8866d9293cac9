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
#include "XListener.h"
#include "XPtrVector.h"
#include "XRect.h"
#include "XRendererSceneState.h"
#include "XSet.h"
#include "XSpeaker.h"
#include "XString.h"
#include "XVector.h"
#include "XVersion.h"

#include <boost/shared_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>

class XCanvasPaneBase;
class XImageDataSource;
class XMeasurementFeedback;
class XMeasurementsFeedbackHelper;
class XRendererPane;
class XRenderingViewBase;
class XVolume;
class XVolumeSelectionProtocol;

// Toolbar items and commands are the host's numbers.
using XToolbarItemID = uint32_t;
using XToolbarCommandID = uint32_t;

// The renderer's life with a view:
// - made with the data source it shows (or none, for renderers that only interpolate
//   scene states); it listens to the source and redraws when the data changes;
// - AttachContainer puts it into a renderer pane (it makes its canvas there),
//   Initialise gets it ready to draw, DetachContainer takes it out again;
// - scene states, the timepoint, the channel, toolbar commands and messages reach it
//   through the public operations, which keep the common state and call the …Self hook;
// - RenderToImage makes a new image of the view for export, on a job thread too when
//   CanThreadRenderToImage says so.
// Everything but RenderToImage (and the scene-state access) runs on the main thread.
class XRenderer : public XSpeaker, public XListener {
public:
    // What an image is made for: the screen, or a final render (export, thumbnail)
    // that leaves out interactive overlays.
    enum XRenderingIntent : uint32_t { kRenderingIntentScreen = 0, kRenderingIntentFinal = 1 };
    // The side of the largest image the host can hold, in pixels.
    static constexpr int32_t kMaxImageSide = 16384;

    struct XCustomMessage {
        XString text;
        uint32_t icon = 0;
    };
    // How a state's value moves between two scenes.
    enum class XStateInterpolation {
        kHold,     // the earlier value until the fraction reaches 1 (flags, modes, unknown states)
        kLinear,   // element by element (positions, colours, scalars)
        kRotation, // spherical, along the shorter arc (state 1)
        kCamera,   // rigid motion: orientation spherically, eye position linearly (state 0)
    };

    XRenderer();
    // Listens to the source (null: none) from the start.
    explicit XRenderer(const boost::shared_ptr<XImageDataSource>& inSource);
    ~XRenderer() override;
    XRenderer(const XRenderer&) = delete;
    XRenderer& operator=(const XRenderer&) = delete;

    // Data.
    const boost::shared_ptr<XImageDataSource>& GetDataSource() const { return itsSource; }
    bool IsDataSourceSupported(const XImageDataSource& inSource) const { return IsDataSourceSupportedSelf(inSource); }
    void SubscribeToSource();
    void UnsubscribeFromSource();
    // The source's data changed: the renderer takes it in and redraws.
    void HandleImageDataChanged();
    void HandleMessage(const XMessage& inMessage) override;

    // Life with a view.
    void Initialise();
    bool IsInitialised() const { return itsIsInitialised; }
    void AttachContainer(XRendererPane& inPane);
    void DetachContainer(XRendererPane& inPane);
    XRendererPane* GetRendererPane() const { return itsPane; }
    // The view of the pane the renderer is in; null outside one.
    XRenderingViewBase* GetRendererView() const;
    // The pane's client area changed; the default fits the renderer's canvas to it.
    virtual void HandleContainerSizeChanged(const XRect& inBounds);
    // The canvas the renderer draws in; null when it has none.
    virtual XCanvasPaneBase* GetRendererCanvasPane() const;

    // Timepoints and channels count from 1; 0 means none. A new renderer is at the
    // first timepoint and channel of its source. Values past the source's counts are
    // refused (assertion) and change nothing.
    void SetCurrentTimepoint(uint32_t inTimepoint);
    uint32_t GetCurrentTimepoint() const { return itsTimepoint.load(); }
    void SetCurrentChannel(uint32_t inChannel);
    uint32_t GetCurrentChannel() const { return itsChannel.load(); }

    // Redrawing: RefreshRenderer asks for a new frame at the next paint, the immediate
    // form draws it now.
    void RefreshRenderer() { RefreshRendererSelf(false); }
    void RefreshRendererWithImmediateRedraw() { RefreshRendererSelf(true); }

    // Images for export. RenderToImage refuses an empty rectangle (kBadArgument) and
    // returns a new image owned by the caller.
    virtual bool DoesSupportRenderToImage() const;
    virtual bool CanThreadRenderToImage() const;
    virtual XRect GetMaxRenderToImageBounds() const;
    XVolume* RenderToImage(const XRect& inRect, XRenderingIntent inIntent);

    // Messages shown over the view. The renderer keeps them; the hooks show them.
    void SetErrorMessage(const XString& inText);
    XString GetErrorMessage() const { return itsErrorMessage; }
    // Ids start at 1.
    uint32_t AddCustomMessage(const XString& inText, uint32_t inIcon = 0);
    // False for an id that is not shown.
    bool SetCustomMessage(uint32_t inID, const XString& inText, uint32_t inIcon = 0);
    bool RemoveCustomMessage(uint32_t inID);
    const std::map<uint32_t, XCustomMessage>& GetCustomMessages() const { return itsCustomMessages; }
    // A speaker of XProgressMessages whose progress the view shows.
    void AddProgressSpeaker(XSpeaker& inSpeaker);
    void RemoveProgressSpeaker(XSpeaker& inSpeaker);
    const XPtrVector<XSpeaker>& GetProgressSpeakers() const { return itsProgressSpeakers; }

    // Toolbar: the items the renderer offers, and the command chosen last (0 before any).
    XVector<XToolbarItemID> GetSupportedToolbarItems() const { return GetSupportedToolbarItemsSelf(); }
    void DoRendererToolbarCommand(XToolbarCommandID inCommand, XVolumeSelectionProtocol* inSelection = nullptr);
    XToolbarCommandID GetCurrentToolbarCommand() const { return itsToolbarCommand; }

    // Measurement feedback: the feedback type codes the renderer shows, the feedback
    // objects it makes for a measurement type, and the items it shows (not owned).
    virtual XSet<uint32_t> GetSupportedFeedbackTypes() const;
    // New objects, owned by the caller; none for types the renderer does not show.
    virtual XPtrVector<XMeasurementFeedback> MakeFeedback(XVersion inMeasurementType,
                                                          const XMeasurementsFeedbackHelper& inHelper);
    virtual void AddFeedbackItem(XMeasurementFeedback* inItem);
    virtual void RemoveFeedbackItem(XMeasurementFeedback* inItem);
    const XPtrVector<XMeasurementFeedback>& GetFeedbackItems() const { return itsFeedbackItems; }
    // The view's selection display settings changed.
    virtual void UpdateROISelectionFeedback();

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
    virtual bool IsDataSourceSupportedSelf(const XImageDataSource& inSource) const;
    virtual void SubscribeToSourceSelf();
    virtual void UnsubscribeFromSourceSelf();
    virtual void HandleImageDataChangedSelf();
    virtual void InitialiseSelf();
    virtual void AttachContainerSelf(XRendererPane& inPane);
    virtual void DetachContainerSelf(XRendererPane& inPane);
    virtual void SetCurrentTimepointSelf(uint32_t inTimepoint);
    virtual void SetCurrentChannelSelf(uint32_t inChannel);
    // The default redraws the renderer's canvas, when it has one.
    virtual void RefreshRendererSelf(bool inImmediate);
    // The default paints the renderer's canvas and scales its pixels into an image of
    // the rectangle's size; without a canvas it throws kBadArgument.
    virtual XVolume* RenderToImageSelf(const XRect& inRect, XRenderingIntent inIntent);
    virtual void SetErrorMessageSelf(const XString& inText);
    virtual void AddCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon);
    virtual void SetCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon);
    virtual void RemoveCustomMessageSelf(uint32_t inID);
    virtual void AddProgressSpeakerSelf(XSpeaker& inSpeaker);
    virtual void RemoveProgressSpeakerSelf(XSpeaker& inSpeaker);
    virtual XVector<XToolbarItemID> GetSupportedToolbarItemsSelf() const;
    virtual void DoRendererToolbarCommandSelf(XToolbarCommandID inCommand, XVolumeSelectionProtocol* inSelection);

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
    boost::shared_ptr<XImageDataSource> itsSource;
    bool itsIsSubscribed = false;
    bool itsIsInitialised = false;
    XRendererPane* itsPane = nullptr;
    std::atomic<uint32_t> itsTimepoint{0}; // read by exports on job threads
    std::atomic<uint32_t> itsChannel{0};
    XString itsErrorMessage;
    std::map<uint32_t, XCustomMessage> itsCustomMessages;
    uint32_t itsNextMessageID = 1;
    XPtrVector<XSpeaker> itsProgressSpeakers;
    XToolbarCommandID itsToolbarCommand = 0;
    XPtrVector<XMeasurementFeedback> itsFeedbackItems;
    mutable std::mutex itsSceneStateMutex; // exports read the state from job threads
    XRendererSceneState itsSceneState;
};
