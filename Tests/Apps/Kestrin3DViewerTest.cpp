// 'kestrin3d view' run as a user runs it, in a window on a private X server: input
// through XTest, pictures read back from the window. Failing tests keep their pictures.
#include "TestPicture.h"
#include "XBGRA32Volume.h"
#include "XKestrin3DRunner.h"
#include "XPrivateXServer.h"
#include "XTIFFWriter.h"

#define XPoint WXlibPoint
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#undef XPoint

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace XKestrin3DRunner;

namespace {
constexpr int kSize = 400;
constexpr int kStatusRows = 20; // the status line along the bottom is the viewer's own

// 24 x 20 x 6 voxels, two timepoints: channel 1 holds 10 x, channel 2 10 y + 5 (t - 1).
std::string WriteCoordinateStack()
{
    XTIFFWriter::XStack stack;
    stack.width = 24;
    stack.height = 20;
    stack.sliceCount = 6;
    stack.channelCount = 2;
    stack.timepointCount = 2;
    stack.voxelType = XVoxelType::kGrey8;
    return WriteStack("coordinates.tif", stack, [](uint32_t c, uint32_t t, int x, int y, int) { return c == 0 ? 10 * x : 10 * y + 5 * int(t); });
}

const std::vector<std::string> kLooks = {"--size", "400x400", "--colour", "1=FF0000", "--colour", "2=00FF00",
    "--range", "1=0,255", "--range", "2=0,255"};

// One viewer in a child process on the private display (with inEnvironment set); its
// trace is read line by line.
class XViewer {
public:
    XViewer(const std::string& inDisplay, const std::string& inFile,
        const std::vector<std::pair<std::string, std::string>>& inEnvironment = {})
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return;
        itsPid = fork();
        if (itsPid == 0) {
            dup2(pipeEnds[1], 1);
            close(pipeEnds[0]);
            setenv("DISPLAY", inDisplay.c_str(), 1);
            for (const auto& [name, value] : inEnvironment)
                setenv(name.c_str(), value.c_str(), 1);
            std::vector<std::string> arguments = {KESTRIN3D_EXECUTABLE, "view", inFile, "--trace"};
            arguments.insert(arguments.end(), kLooks.begin(), kLooks.end());
            std::vector<char*> argv;
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(KESTRIN3D_EXECUTABLE, argv.data());
            _exit(127);
        }
        close(pipeEnds[1]);
        itsOut = pipeEnds[0];
        itsDisplay = XOpenDisplay(inDisplay.c_str());
        std::smatch match;
        std::string line;
        if (WaitFor(std::regex("window (\\d+) \\d+x\\d+ (.*)"), match)) {
            itsWindow = Window(std::stoul(match[1]));
            itsPutPath = match[2];
        }
        WaitFor(std::regex("status .*"), match);
    }
    ~XViewer()
    {
        if (itsPid > 0 && !itsExited) {
            kill(itsPid, SIGTERM);
            waitpid(itsPid, nullptr, 0);
        }
        if (itsDisplay)
            XCloseDisplay(itsDisplay);
        if (itsOut >= 0)
            close(itsOut);
    }

    bool IsUp() const { return itsDisplay && itsWindow; }
    Display* GetDisplay() const { return itsDisplay; }
    Window GetWindow() const { return itsWindow; }
    // How frames reach the server: "shared-memory" or "put-image".
    const std::string& GetPutPath() const { return itsPutPath; }

    // Reads trace lines until one matches (within a few seconds).
    bool WaitFor(const std::regex& inLine, std::smatch& outMatch, int inTimeoutMs = 20000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(inTimeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            for (size_t newline; (newline = itsBuffer.find('\n')) != std::string::npos;) {
                itsLastLine = itsBuffer.substr(0, newline);
                itsBuffer.erase(0, newline + 1);
                if (std::regex_match(itsLastLine, outMatch, inLine))
                    return true;
            }
            pollfd descriptor{itsOut, POLLIN, 0};
            if (poll(&descriptor, 1, 100) > 0) {
                char chunk[4096];
                const ssize_t got = read(itsOut, chunk, sizeof chunk);
                if (got <= 0)
                    return false;
                itsBuffer.append(chunk, size_t(got));
            }
        }
        return false;
    }
    bool WaitFor(const std::string& inPattern) { std::smatch match; return WaitFor(std::regex(inPattern), match); }

    void Move(int inX, int inY)
    {
        XTestFakeMotionEvent(itsDisplay, -1, inX, inY, CurrentTime);
        XFlush(itsDisplay);
    }
    void Button(bool inDown)
    {
        XTestFakeButtonEvent(itsDisplay, 1, inDown, CurrentTime);
        XFlush(itsDisplay);
    }
    void Key(KeySym inKey)
    {
        const KeyCode code = XKeysymToKeycode(itsDisplay, inKey);
        XTestFakeKeyEvent(itsDisplay, code, True, CurrentTime);
        XTestFakeKeyEvent(itsDisplay, code, False, CurrentTime);
        XFlush(itsDisplay);
    }
    // What the window shows now (after the viewer had time to draw).
    std::unique_ptr<XBGRA32Volume> Capture(int inSettleMs = 600)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(inSettleMs));
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(itsDisplay, itsWindow, &attributes))
            return nullptr;
        XImage* image = XGetImage(itsDisplay, itsWindow, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
            AllPlanes, ZPixmap);
        if (!image)
            return nullptr;
        auto picture = std::make_unique<XBGRA32Volume>(attributes.width, attributes.height, 1);
        for (int y = 0; y < attributes.height; ++y)
            for (int x = 0; x < attributes.width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                picture->GetVoxelRow(y, 0)[x] = XBGRA32Colour(uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), 255);
            }
        XDestroyImage(image);
        return picture;
    }
    int WaitExit()
    {
        int status = 0;
        for (int i = 0; i < 100 && !itsExited; ++i) {
            if (waitpid(itsPid, &status, WNOHANG) == itsPid)
                itsExited = true;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return itsExited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& GetLastLine() const { return itsLastLine; }

private:
    pid_t itsPid = -1;
    int itsOut = -1;
    bool itsExited = false;
    Display* itsDisplay = nullptr;
    Window itsWindow = 0;
    std::string itsPutPath;
    std::string itsBuffer;
    std::string itsLastLine;
};

// Pixels above the status line whose channels differ by more than a few levels
// (llvmpipe and the export path may round differently at edges).
int CountFrameDifferences(const XVolume& inWindow, const XVolume& inRendered, const std::string& inName)
{
    int differing = 0;
    for (int y = 0; y < kSize - kStatusRows; ++y)
        for (int x = 0; x < kSize; ++x) {
            const XARGB32Colour a = TestPicture::PixelAt(inWindow, x, y), b = TestPicture::PixelAt(inRendered, x, y);
            if (std::abs(a.red - b.red) > 8 || std::abs(a.green - b.green) > 8 || std::abs(a.blue - b.blue) > 8)
                ++differing;
        }
    if (differing > kSize * kSize / 100) {
        TestPicture::SavePNG(inWindow, inName + "-window");
        TestPicture::SavePNG(inRendered, inName + "-rendered");
    }
    return differing;
}

// Pixels above the status line (whose frame time may change) that differ at all.
int CountChangedAboveStatus(const XVolume& inA, const XVolume& inB)
{
    int changed = 0;
    for (int y = 0; y < kSize - kStatusRows; ++y)
        for (int x = 0; x < kSize; ++x)
            changed += TestPicture::PixelAt(inA, x, y) != TestPicture::PixelAt(inB, x, y);
    return changed;
}

std::unique_ptr<XVolume> Render(const std::string& inFile, const std::vector<std::string>& inExtra, const std::string& inName)
{
    std::vector<std::string> arguments = {"render", inFile, "--view", "planes"};
    arguments.insert(arguments.end(), kLooks.begin(), kLooks.end());
    arguments.insert(arguments.end(), inExtra.begin(), inExtra.end());
    return RunForPicture(arguments, inName + ".png");
}

class Kestrin3DViewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!itsServer.IsRunning())
            GTEST_SKIP() << itsServer.GetError();
        itsFile = WriteCoordinateStack();
        itsViewer = std::make_unique<XViewer>(itsServer.GetDisplayName(), itsFile);
        ASSERT_TRUE(itsViewer->IsUp()) << "the viewer showed no window; last line: " << itsViewer->GetLastLine();
    }
    void Drag(int inFromX, int inToX, int inY, int inSteps, int inStepMs, int inPauseMs)
    {
        XViewer& v = *itsViewer;
        v.Move(inFromX, inY);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        v.Button(true);
        for (int i = 1; i <= inSteps; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(inStepMs));
            v.Move(inFromX + (inToX - inFromX) * i / inSteps, inY);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(inPauseMs));
        v.Button(false);
    }

    XPrivateXServer itsServer{1024, 768};
    std::string itsFile;
    std::unique_ptr<XViewer> itsViewer;
};
} // namespace

TEST(Kestrin3DViewerStart, RefusesWithoutADisplay)
{
    // What went wrong and what to do about it.
    const struct {
        const char* display;
        std::vector<std::string> said;
    } cases[] = {
        {"", {"DISPLAY is not set", "set DISPLAY", "kestrin3d render"}},
        {":9917", {"\":9917\" could not be opened", "Start an X server", "set DISPLAY to one that runs"}},
    };
    for (const auto& c : cases) {
        const XRun run = RunKestrin3D({"view"}, {{"DISPLAY", c.display}});
        EXPECT_TRUE(Ran(run, 1, c.said)) << c.display;
        EXPECT_EQ(run.err.find("unset"), std::string::npos) << run.err;
    }
}

TEST_F(Kestrin3DViewer, FramesMatchTheRenderCommandBeforeAndAfterA30DegreeDrag)
{
    const auto first = itsViewer->Capture();
    const auto rendered = Render(itsFile, {}, "first");
    ASSERT_TRUE(first && rendered);
    EXPECT_LE(CountFrameDifferences(*first, *rendered, "viewer-first"), kSize * kSize / 100);

    // On a 400-pixel window 100 pixels across the ball's middle are 30 degrees; a pause
    // before the release keeps it from spinning. The volume turns with the mouse: its
    // front moves right, which the render command's angles call -30 about y.
    Drag(200, 300, 200, 10, 30, 400);
    const auto turned = itsViewer->Capture();
    const auto renderedTurned = Render(itsFile, {"--rotate", "0,-30,0"}, "turned");
    ASSERT_TRUE(turned && renderedTurned);
    EXPECT_LE(CountFrameDifferences(*turned, *renderedTurned, "viewer-turned"), kSize * kSize / 100);
    EXPECT_GT(TestPicture::CountDifferences(*first, *turned), 1000) << "the drag turned nothing";
}

TEST_F(Kestrin3DViewer, AFlickSpinsAndAClickStopsItInEitherView)
{
    XViewer& v = *itsViewer;
    for (const bool legacy : {false, true}) {
        SCOPED_TRACE(legacy ? "legacy volume view" : "planes view");
        if (legacy) {
            v.Move(200, 200); // keys go to the window under the pointer
            v.Key(XK_v);
            ASSERT_TRUE(v.WaitFor("view volume.*")) << v.GetLastLine();
            v.Capture(1500); // its first frame
        }
        // Moves closer together than the legacy view's 25 ms pointer polls, for long
        // enough that polls run between them even when its frames are slow: the last
        // poll before the release then sees a movement, as a real flick's would.
        Drag(150, 250, 200, 20, 10, 0);
        const auto a = v.Capture(300), b = v.Capture(300);
        ASSERT_TRUE(a && b);
        EXPECT_GT(TestPicture::CountDifferences(*a, *b), 500) << "no spin after the flick";
        v.Move(200, 200);
        v.Button(true);
        v.Button(false);
        const auto c = v.Capture(300), d = v.Capture(300);
        ASSERT_TRUE(c && d);
        EXPECT_EQ(CountChangedAboveStatus(*c, *d), 0) << "the click did not stop the spin";
    }
}

TEST_F(Kestrin3DViewer, StatusLineNamesTheVoxelUnderTheMouseAndStepsTimepoints)
{
    XViewer& v = *itsViewer;
    const std::regex status("status voxel (\\d+) (\\d+) (\\d+) \\| .*: (\\d+) \\| .*: (\\d+) \\| timepoint (\\d) of 2.*");
    const struct {
        KeySym key; // pressed before the mouse moves; 0 for none
        int timepoint;
    } cases[] = {{0, 1}, {XK_Right, 2}, {XK_Right, 2}, {XK_Left, 1}};
    int x = 150;
    for (const auto& c : cases) {
        if (c.key)
            v.Key(c.key);
        v.Move(x += 10, 190);
        std::smatch match;
        ASSERT_TRUE(v.WaitFor(status, match)) << "last line: " << v.GetLastLine();
        const int vx = std::stoi(match[1]), vy = std::stoi(match[2]);
        EXPECT_EQ(std::stoi(match[4]), 10 * vx) << match[0];
        EXPECT_EQ(std::stoi(match[5]), 10 * vy + 5 * (c.timepoint - 1)) << match[0];
        EXPECT_EQ(std::stoi(match[6]), c.timepoint) << match[0];
    }
}

TEST_F(Kestrin3DViewer, SwitchesBetweenThePlanesAndTheLegacyVolumeView)
{
    XViewer& v = *itsViewer;
    v.Move(200, 200); // keys go to the window under the pointer
    const auto planes = Render(itsFile, {}, "planes");
    const auto volume = Render(itsFile, {"--view", "volume"}, "volume");
    ASSERT_TRUE(planes && volume);
    const struct {
        const char* view;
        const XVolume* rendered;
    } cases[] = {{"volume on-window", volume.get()}, {"planes", planes.get()}, {"volume on-window", volume.get()}};
    for (const auto& c : cases) {
        v.Key(XK_v);
        ASSERT_TRUE(v.WaitFor(std::string("view ") + c.view)) << v.GetLastLine();
        const auto shown = v.Capture(1500);
        ASSERT_TRUE(shown);
        EXPECT_LE(CountFrameDifferences(*shown, *c.rendered, std::string("viewer-switch-") + c.view), kSize * kSize / 100)
            << c.view;
    }
    // A tool the legacy view lacks is refused with a hint in the status line.
    v.Key(XK_l);
    EXPECT_TRUE(v.WaitFor("status .* \\| volume view \\| the legacy volume view has no light tool")) << v.GetLastLine();
}

TEST_F(Kestrin3DViewer, SharedMemoryAndThePlainPutShowTheSameFrame)
{
    const auto shared = itsViewer->Capture();
    EXPECT_EQ(itsViewer->GetPutPath(), "shared-memory"); // Xvfb offers MIT-SHM
    XViewer plain(itsServer.GetDisplayName(), itsFile, {{"KESTRIN_NO_MITSHM", "1"}});
    ASSERT_TRUE(plain.IsUp());
    EXPECT_EQ(plain.GetPutPath(), "put-image");
    const auto put = plain.Capture();
    ASSERT_TRUE(shared && put);
    EXPECT_EQ(CountChangedAboveStatus(*shared, *put), 0);
}

TEST_F(Kestrin3DViewer, FollowsResizeInEitherView)
{
    XViewer& v = *itsViewer;
    const struct {
        int width, height;
        const char* view; // switched to before the resize
    } cases[] = {{300, 200, nullptr}, {260, 340, "volume on-window"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view ? c.view : "planes");
        if (c.view) {
            v.Move(100, 100); // keys go to the window under the pointer
            v.Key(XK_v);
            ASSERT_TRUE(v.WaitFor(std::string("view ") + c.view)) << v.GetLastLine();
        }
        XResizeWindow(v.GetDisplay(), v.GetWindow(), unsigned(c.width), unsigned(c.height));
        XFlush(v.GetDisplay());
        ASSERT_TRUE(v.WaitFor("size " + std::to_string(c.width) + "x" + std::to_string(c.height))) << v.GetLastLine();
        const auto resized = v.Capture(1500);
        ASSERT_TRUE(resized);
        EXPECT_EQ(resized->GetWidth(), c.width);
        // The stack stays in the middle of the new window: a view or surface left at
        // the old size draws it off centre or cut.
        const auto stack = TestPicture::SpreadOf(
            *resized, [](const XARGB32Colour& p) { return std::max(p.red, p.green) > 40 && p.blue < 40; });
        EXPECT_GT(stack.count, c.width * c.height / 20) << "nothing drawn after the resize";
        EXPECT_NEAR((stack.left + stack.right + 1) / 2.0, c.width / 2.0, 6);
        EXPECT_NEAR((stack.top + stack.bottom + 1) / 2.0, c.height / 2.0, 6);
        if (::testing::Test::HasFailure())
            TestPicture::SavePNG(*resized, std::string("viewer-resized-") + (c.view ? "volume" : "planes"));
    }
}

TEST_F(Kestrin3DViewer, ExitsWithZeroWhenQuitOrClosed)
{
    for (const bool close : {false, true}) {
        if (close)
            itsViewer = std::make_unique<XViewer>(itsServer.GetDisplayName(), itsFile);
        XViewer& v = *itsViewer;
        ASSERT_TRUE(v.IsUp());
        if (close) {
            // What a window manager sends when the close button is pressed.
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = v.GetWindow();
            event.xclient.message_type = XInternAtom(v.GetDisplay(), "WM_PROTOCOLS", False);
            event.xclient.format = 32;
            event.xclient.data.l[0] = long(XInternAtom(v.GetDisplay(), "WM_DELETE_WINDOW", False));
            XSendEvent(v.GetDisplay(), v.GetWindow(), False, NoEventMask, &event);
            XFlush(v.GetDisplay());
        } else {
            v.Move(50, 50); // keys go to the window under the pointer
            v.Key(XK_q);
        }
        EXPECT_EQ(v.WaitExit(), 0) << (close ? "closed" : "quit");
    }
}
