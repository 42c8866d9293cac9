#pragma once
// Texts drawn over a canvas while it is visible: an error text in a box in the middle,
// custom messages stacked in the top left corner (each with an icon and its own text
// colour), and one progress bar per progress speaker along the bottom. It draws in
// PostDrawCanvas, over everything the attachments drew.
#include "XARGB32Colour.h"
#include "XCanvasAttachment.h"
#include "XListener.h"
#include "XString.h"

#include <cstdint>
#include <map>
#include <vector>

class XSpeaker;

class XTextOverlayCanvasAttachment : public XCanvasAttachment, public XListener {
public:
    enum XMessageIcon : uint32_t { kIconNone = 0, kIconInformation = 1, kIconWarning = 2, kIconError = 3 };

    struct XCustomMessage {
        XString text;
        uint32_t icon = kIconNone;
        XARGB32Colour colour = XARGB32Colour::kBlack;
    };
    struct XProgressState {
        const XSpeaker* speaker = nullptr;
        XString text;
        double fraction = 0.0; // NaN: unknown
    };

    static constexpr double kMargin = 8.0;
    static constexpr double kProgressBarHeight = 6.0;

    XTextOverlayCanvasAttachment() = default;
    ~XTextOverlayCanvasAttachment() override;

    // Every change redraws the pane it is on.
    void SetVisible(bool inVisible);
    bool IsVisible() const { return itsIsVisible; }

    // An empty text shows no error box.
    void SetErrorText(const XString& inText);
    const XString& GetErrorText() const { return itsErrorText; }

    // Ids start at 1 and are not reused.
    uint32_t AddCustomMessage(const XString& inText, uint32_t inIcon = kIconNone,
                              const XARGB32Colour& inColour = XARGB32Colour::kBlack);
    // False for an id that is not shown.
    bool SetCustomMessage(uint32_t inID, const XString& inText, uint32_t inIcon = kIconNone,
                          const XARGB32Colour& inColour = XARGB32Colour::kBlack);
    bool RemoveCustomMessage(uint32_t inID);
    // In the order added.
    std::vector<XCustomMessage> GetCustomMessages() const;

    // Listens to the speaker's XProgressMessages (spoken on any thread; those of other
    // threads are taken on the main thread); its bar shows from the first one until one
    // says it is done or the speaker is removed.
    void AddProgressSpeaker(XSpeaker& inSpeaker);
    void RemoveProgressSpeaker(XSpeaker& inSpeaker);
    std::vector<XProgressState> GetProgress() const { return itsProgress; }

    XEventResult PostDrawCanvas(XGC& inGC) override;
    void HandleMessage(const XMessage& inMessage) override;

private:
    void Redraw();
    void DrawError(XGC& inGC, const XRect& inBounds);
    void DrawCustomMessages(XGC& inGC);
    void DrawProgress(XGC& inGC, const XRect& inBounds);

    bool itsIsVisible = false;
    XString itsErrorText;
    std::map<uint32_t, XCustomMessage> itsMessages;
    uint32_t itsNextID = 1;
    std::vector<const XSpeaker*> itsSpeakers; // compared, never called
    std::vector<XProgressState> itsProgress;
};
