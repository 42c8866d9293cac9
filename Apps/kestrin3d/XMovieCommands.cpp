#include "XMovieCommands.h"

#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XException.h"
#include "XQuaternion.h"
#include "XRenderer.h"
#include "XAppMessageCentre.h"
#include "XARGB32Volume.h"
#include "XJobQueue.h"
#include "XListener.h"
#include "XMovieRenderCommand.h"
#include "XRenderOptions.h"
#include "XStream.h"
#include "XUUID.h"
#include "XViewFrames.h"
#include "XVolumeRenderThumbnailJob.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <numbers>
#include <sstream>
#include <sys/stat.h>

namespace {
using XSequence = XVolumeKeyframeMovie::XTimepointSequence;

constexpr uint64_t kDefaultKeyframeFrames = 10;
constexpr int32_t kThumbnailWidth = 160;
constexpr int32_t kThumbnailHeight = 120;
constexpr std::chrono::seconds kThumbnailWait{120};

// Keeps the picture of the thumbnail job's completion message.
class XThumbnailCatcher : public XListener {
public:
    void HandleMessage(const XMessage& inMessage) override
    {
        using XDone = XVolumeRenderThumbnailJob::XVolumeRenderThumbnailJobCompleteMsg;
        if (const auto* done = dynamic_cast<const XDone*>(&inMessage); done && done->GetImage())
            image = done->GetImage()->Clone();
    }
    std::unique_ptr<XVolume> image;
};

// The keyframe's view of the data in the planes view, rendered by the thumbnail job
// on a job queue.
std::unique_ptr<XVolume> MakeThumbnail(const XRendererSceneState& inScene, const std::string& inData)
{
    XRenderOptions options;
    options.view = XRenderOptions::XView::kPlanes;
    options.input = inData;
    options.width = kThumbnailWidth;
    options.height = kThumbnailHeight;
    const std::unique_ptr<XViewFrames> view = XViewFrames::Make(options);
    view->ShowFrame(&inScene, 1);
    XThumbnailCatcher catcher;
    {
        XJobQueue queue;
        auto* job = new XVolumeRenderThumbnailJob(XUUID::Generate(), kThumbnailWidth, kThumbnailHeight, view->GetRenderer());
        catcher.Subscribe(*job);
        queue.AttachJob(job);
        queue.Start();
        queue.WaitForQueueEmpty();
        // The completion comes to this thread through the message centre; a job that
        // rendered nothing sends none, so a quiet second ends the wait.
        XAppMessageCentre& centre = XAppMessageCentre::GetAppMessageCentre();
        const auto deadline = std::chrono::steady_clock::now() + kThumbnailWait;
        int quiet = 0;
        while (!catcher.image && quiet < 20 && std::chrono::steady_clock::now() < deadline)
            quiet = centre.WaitAndProcessMessages(50) == 0 && centre.GetQueuedMessageCount() == 0 ? quiet + 1 : 0;
    }
    if (!catcher.image)
        throw XException(XException::kOpenGLError,
                         "the thumbnail could not be rendered; the movie is unchanged. Try again without --thumbnail");
    return std::move(catcher.image);
}

bool FileExists(const std::string& inPath)
{
    struct stat info;
    return ::stat(inPath.c_str(), &info) == 0;
}

std::string Number(double inValue)
{
    std::ostringstream text;
    text << std::setprecision(6) << (inValue == 0.0 ? 0.0 : inValue); // no "-0"
    return text.str();
}

std::string Count(uint64_t inCount, const char* inNoun)
{
    return std::to_string(inCount) + " " + inNoun + (inCount == 1 ? "" : "s");
}

std::string Vector(double inX, double inY, double inZ)
{
    std::string text(1, '(');
    text += Number(inX) + ", " + Number(inY) + ", " + Number(inZ) + ")";
    return text;
}

std::string FrameRange(uint64_t inStart, uint64_t inLength)
{
    if (inLength == 0)
        return "no frames";
    std::string text = inLength == 1 ? "frame " + std::to_string(inStart)
                                     : "frames " + std::to_string(inStart) + "-" + std::to_string(inStart + inLength - 1);
    return text + " (" + std::to_string(inLength) + (inLength == 1 ? " frame)" : " frames)");
}

const char* GetStateLabel(XRendererStateName inName)
{
    switch (inName) {
    case kSceneStateCamera: return "camera";
    case kSceneStateRotation: return "volume rotation";
    case kSceneStateVolumeScale: return "volume scale shown";
    case kSceneStateTimestamp: return "time stamp shown";
    case kSceneStateUserInteraction: return "user interaction";
    case kSceneStateFloor: return "floor shown";
    case kSceneStateOrientator: return "orientation marker shown";
    case kSceneStatePlanes: return "planes shown";
    case kSceneStateVolumePosition: return "volume position";
    case kSceneStateFloorChecked: return "chequered floor";
    case kSceneStateFloorColour: return "floor colour";
    case kSceneStateFloorHeight: return "floor height";
    case kSceneStateBackgroundColour: return "background colour";
    case kSceneStateOverlayColour: return "overlay colour";
    case kSceneStateTimestampColour: return "time stamp colour";
    case kSceneStateScaleText: return "scale text shown";
    case kSceneStateLightPosition: return "light position";
    case kSceneStateYZPlane: return "YZ plane position";
    case kSceneStateXZPlane: return "XZ plane position";
    case kSceneStateXYPlane: return "XY plane position";
    case kSceneStateStereoMode: return "stereo mode";
    case kSceneStateChannelMergeMode: return "channel merge mode";
    case kSceneStateMergeWeight: return "merge weight";
    case kSceneStateReferencePlaneOpacity: return "reference plane opacity";
    case kSceneStateChannelVisible: return "channel shown";
    default: return "state";
    }
}

std::string DescribeValue(XRendererStateName inName, const X3DMatrix& inValue)
{
    if (inName == kSceneStateCamera && inValue.IsSquare(4)) {
        const X3DMatrix& m = inValue;
        return "eye " + Vector(m(0, 3), m(1, 3), m(2, 3)) + ", looking along " +
               Vector(-m(0, 2), -m(1, 2), -m(2, 2)) + ", up " + Vector(m(0, 1), m(1, 1), m(2, 1));
    }
    if (inName == kSceneStateRotation && inValue.IsSquare(3)) {
        XMathVectorF3 axis;
        double radians = 0;
        XQuaternion::MakeFromRotationMatrix(inValue).GetNormalised().GetAxisAngle(axis, radians);
        return Number(radians * 180.0 / std::numbers::pi) + " degrees about " + Vector(axis[0], axis[1], axis[2]);
    }
    std::string text;
    for (size_t row = 0; row < inValue.GetRows(); ++row)
        for (size_t column = 0; column < inValue.GetColumns(); ++column)
            text += (text.empty() ? "" : column == 0 ? "; " : ", ") + Number(inValue(row, column));
    return inValue.GetRows() * inValue.GetColumns() == 1 ? text : "[" + text + "]";
}

const char* DescribePlayback(XVolumeKeyframeMovie::XTimepointPlayback inPlayback)
{
    switch (inPlayback) {
    case XVolumeKeyframeMovie::kPlaybackKeepTimepoint: return "keep the current timepoint";
    case XVolumeKeyframeMovie::kPlaybackForwards: return "forwards over all timepoints";
    case XVolumeKeyframeMovie::kPlaybackBackwards: return "backwards over all timepoints";
    case XVolumeKeyframeMovie::kPlaybackRange: return "over a range of timepoints";
    }
    return "";
}
} // namespace

void XMovieCommands::AddTo(XCommandTable& inOutTable)
{
    inOutTable.Add({"movie", "new", "FILE [--name NAME] [--rate FPS] [--force]", "create an empty keyframe movie file",
                    "Options:\n"
                    "  --name NAME   the movie's name (default: none)\n"
                    "  --rate FPS    playback rate in frames per second (default 10)\n"
                    "  --force       replace FILE if it exists\n",
                    &XMovieCommands::New});
    inOutTable.Add({"movie", "add-keyframe", "FILE [--eye X,Y,Z] [--look-at X,Y,Z] [--up X,Y,Z] [--rotate AX,AY,AZ] "
                                             "[--frames N] [--state NAME=VALUES]... [--thumbnail [--data STACK]]",
                    "append a keyframe: a view and the frames its transition to the next keyframe takes",
                    "The keyframe always holds a camera and a volume rotation; the defaults are the\n"
                    "camera at 0,0,2 looking at the origin with up 0,1,0, and no rotation.\n\n"
                    "Options:\n"
                    "  --eye X,Y,Z         camera position\n"
                    "  --look-at X,Y,Z     the point the camera looks at\n"
                    "  --up X,Y,Z          the camera's up direction\n"
                    "  --rotate AX,AY,AZ   volume rotation in degrees about x, then y, then z\n"
                    "  --frames N          frames of the transition to the next keyframe (default 10)\n"
                    "  --name NAME         the keyframe's name\n"
                    "  --state NAME=VALUES any other scene state by number, e.g. --state 13=-0.5 (floor\n"
                    "                      height) or --state 14=255,0,0,64 (background colour: alpha,\n"
                    "                      red, green, blue); 9 or 16 values make a 3x3 or 4x4 matrix,\n"
                    "                      row by row. May be repeated.\n"
                    "  --thumbnail         store a 160 x 120 picture of the keyframe's view, drawn in\n"
                    "                      the planes view, with it\n"
                    "  --data STACK        with --thumbnail: the TIFF stack it shows (default: the\n"
                    "                      built-in sample)\n",
                    &XMovieCommands::AddKeyframe});
    inOutTable.Add({"movie", "add-timepoints", "FILE --frames N [--playback MODE] [--start FRAME] [--from T] [--to T]",
                    "append a timepoint sequence: which timepoint shows during which frames",
                    "Options:\n"
                    "  --frames N        frames the sequence lasts (1 or more)\n"
                    "  --playback MODE   forwards (default), backwards, range or keep\n"
                    "  --start FRAME     first frame (default: where the last sequence ends)\n"
                    "  --from T, --to T  first and last timepoint of a range, counted from 1\n"
                    "                    (default: 1 and the last timepoint)\n",
                    &XMovieCommands::AddTimepoints});
    inOutTable.Add({"movie", "scale", "FILE FACTOR", "scale every keyframe and sequence length by FACTOR",
                    "Each length becomes FACTOR times as long, rounded, and at least 1 frame.\n",
                    &XMovieCommands::Scale});
    inOutTable.Add({"movie", "resize", "FILE FRAMES", "make the movie FRAMES frames long",
                    "A change of fewer frames than there are keyframes lengthens or shortens the\n"
                    "first keyframes by one frame each; a larger change scales the movie.\n",
                    &XMovieCommands::Resize});
    inOutTable.Add({"movie", "show", "FILE [--frame N] [--timepoints COUNT] [--current T] [--thumbnails DIR]",
                    "list the keyframes and sequences, and the view of a frame",
                    "Options:\n"
                    "  --frame N           also show the interpolated scene of frame N (from 0)\n"
                    "  --timepoints COUNT  with --frame: the number of timepoints of the data, to show\n"
                    "                      which one that frame shows\n"
                    "  --current T         with --timepoints: the view's current timepoint (default 1)\n"
                    "  --thumbnails DIR    write the keyframes' thumbnails as DIR/keyframe-1.png ...\n",
                    &XMovieCommands::Show});
}

XVolumeKeyframeMovie XMovieCommands::Load(const std::string& inPath)
{
    if (!FileExists(inPath))
        throw XException(XException::kFileError,
                         XString("the movie file %1 does not exist; create it with 'kestrin3d movie new %1'")
                             .Replace(XString(inPath)));
    XStream stream = XStream::LoadFromFile(inPath);
    XVolumeKeyframeMovie movie;
    try {
        movie.ReadStream2(stream);
    } catch (const XException& e) {
        throw XException(e.GetErrorCode(), XString("%1 is not a movie this program can read: %2")
                                               .Replace(XString(inPath))
                                               .Replace(e.GetRawErrorMessage()));
    }
    if (stream.GetBytesLeft() != 0)
        throw XException(XException::kStreamCorrupt,
                         XString("%1 holds %2 bytes after the movie; the file is damaged or not a movie file")
                             .Replace(XString(inPath))
                             .Replace(int64_t(stream.GetBytesLeft())));
    return movie;
}

void XMovieCommands::Save(const XVolumeKeyframeMovie& inMovie, const std::string& inPath)
{
    XStream stream;
    inMovie.WriteStream2(stream);
    stream.SaveToFile(inPath);
}

void XMovieCommands::PrintSummary(const std::string& inPath, const XVolumeKeyframeMovie& inMovie, std::ostream& inOut)
{
    inOut << inPath << ": " << Count(inMovie.GetKeyframeCount(), "keyframe") << ", "
          << Count(inMovie.GetTimepointSequenceCount(), "timepoint sequence") << ", "
          << Count(inMovie.GetLength(), "frame") << "\n";
}

int XMovieCommands::New(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "movie new", {"--name", "--rate"}, {"--force"});
    const std::string& path = arguments.GetPositional(0, "the FILE to create");
    arguments.ExpectAtMostPositionals(1);
    if (FileExists(path) && !arguments.Has("--force"))
        throw XUsageError(path + " exists already; give --force to replace it, or choose another name");
    XVolumeKeyframeMovie movie(XString(arguments.GetString("--name", "")));
    const double rate = arguments.GetDouble("--rate", XVolumeKeyframeMovie::kDefaultPlaybackRate);
    if (!(rate > 0.0) || rate > 1e6)
        throw XUsageError("the value of --rate must be a number of frames per second above 0, such as 25");
    movie.SetPlaybackRate(float(rate));
    Save(movie, path);
    PrintSummary(path, movie, inOut);
    return XCommandTable::kSuccess;
}

XRendererSceneState XMovieCommands::MakeKeyframeScene(const XCommandArguments& inArguments)
{
    const X3DMatrix eye = inArguments.GetVector3("--eye", X3DMatrix::ColumnVector(0, 0, 2));
    const X3DMatrix lookAt = inArguments.GetVector3("--look-at", X3DMatrix::ColumnVector(0, 0, 0));
    const X3DMatrix up = inArguments.GetVector3("--up", X3DMatrix::ColumnVector(0, 1, 0));
    if ((eye - lookAt).L2Length() == 0.0)
        throw XUsageError("the camera cannot look at the point it stands on; give --eye and --look-at different points");
    if (X3DMatrix::CrossProduct(up, eye - lookAt).L2Length() < 1e-12 * up.L2Length() * (eye - lookAt).L2Length() ||
        up.L2Length() == 0.0)
        throw XUsageError("--up must not point along the view direction; give an up direction across it, such as 0,1,0");

    const X3DMatrix angles = inArguments.GetVector3("--rotate", X3DMatrix::ColumnVector(0, 0, 0));
    const double toRadians = std::numbers::pi / 180.0;
    const X3DMatrix rotation = X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 0, 1), angles(2, 0) * toRadians, 3) *
                               X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 1, 0), angles(1, 0) * toRadians, 3) *
                               X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(1, 0, 0), angles(0, 0) * toRadians, 3);

    XRendererSceneState state;
    state.SetStateAndEnable(kSceneStateCamera, XRenderer::MakeCameraStateValue(eye, lookAt, up));
    state.SetStateAndEnable(kSceneStateRotation, rotation);
    for (const std::string& assignment : inArguments.GetAll("--state")) {
        const size_t equals = assignment.find('=');
        if (equals == std::string::npos)
            throw XUsageError("--state needs NAME=VALUES, such as --state 13=-0.5, not '" + assignment + "'");
        const uint64_t name = XCommandArguments::ParseUInt64(assignment.substr(0, equals), "the state name in --state");
        if (name > 0xFFFFFFFFu)
            throw XUsageError("the state name in --state must be below 4294967296");
        const std::vector<double> values =
            XCommandArguments::ParseNumberList(assignment.substr(equals + 1), "the values in --state");
        X3DMatrix value;
        if (values.size() == 9 || values.size() == 16) {
            const size_t order = values.size() == 9 ? 3 : 4;
            value = X3DMatrix(order, order);
            for (size_t i = 0; i < values.size(); ++i)
                value(i / order, i % order) = values[i];
        } else {
            value = X3DMatrix::ColumnVector(values.data(), values.size());
        }
        state.SetStateAndEnable(XRendererStateName(name), value);
    }
    return state;
}

int XMovieCommands::AddKeyframe(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "movie add-keyframe",
                                {"--eye", "--look-at", "--up", "--rotate", "--frames", "--name", "--state", "--data"},
                                {"--thumbnail"});
    const std::string& path = arguments.GetPositional(0, "the movie FILE");
    arguments.ExpectAtMostPositionals(1);
    if (arguments.Has("--data") && !arguments.Has("--thumbnail"))
        throw XUsageError("--data chooses the stack a thumbnail shows; add --thumbnail or leave --data out");
    XVolumeKeyframeMovie movie = Load(path);
    XBookmark3D bookmark(MakeKeyframeScene(arguments), XString(arguments.GetString("--name", "")));
    if (arguments.Has("--thumbnail"))
        bookmark.AttachThumbnail(MakeThumbnail(bookmark.GetSceneState(), arguments.GetString("--data", "")));
    movie.AppendKeyframeTransition(bookmark, arguments.GetUInt64("--frames", kDefaultKeyframeFrames));
    Save(movie, path);
    PrintSummary(path, movie, inOut);
    return XCommandTable::kSuccess;
}

int XMovieCommands::AddTimepoints(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "movie add-timepoints", {"--frames", "--playback", "--start", "--from", "--to"});
    const std::string& path = arguments.GetPositional(0, "the movie FILE");
    arguments.ExpectAtMostPositionals(1);
    if (!arguments.Has("--frames"))
        throw XUsageError("'movie add-timepoints' needs --frames N, the number of frames the sequence lasts");
    const uint64_t frames = arguments.GetUInt64("--frames", 0);
    if (frames == 0)
        throw XUsageError("--frames must be 1 or more");
    const std::string mode = arguments.GetString("--playback", "forwards");
    uint32_t playback = 0;
    if (mode == "keep")
        playback = XVolumeKeyframeMovie::kPlaybackKeepTimepoint;
    else if (mode == "forwards")
        playback = XVolumeKeyframeMovie::kPlaybackForwards;
    else if (mode == "backwards")
        playback = XVolumeKeyframeMovie::kPlaybackBackwards;
    else if (mode == "range")
        playback = XVolumeKeyframeMovie::kPlaybackRange;
    else
        throw XUsageError("--playback must be forwards, backwards, range or keep, not '" + mode + "'");
    if ((arguments.Has("--from") || arguments.Has("--to")) && mode != "range")
        throw XUsageError("--from and --to choose the timepoints of --playback range; give that too");
    const uint64_t from = arguments.GetUInt64("--from", 1);
    const uint64_t to = arguments.GetUInt64("--to", XVolumeKeyframeMovie::kLastTimepoint);
    if (from == 0 || to == 0 || from > 0xFFFFFFFFu || to > 0xFFFFFFFFu)
        throw XUsageError("timepoints count from 1; give --from and --to between 1 and 4294967295");

    XVolumeKeyframeMovie movie = Load(path);
    XSequence sequence(playback, frames, arguments.GetUInt64("--start", movie.GetTimepointSequencesLength()));
    sequence.SetTimepointRange(uint32_t(from), uint32_t(to));
    movie.AppendTimepointSequence(sequence);
    Save(movie, path);
    PrintSummary(path, movie, inOut);
    return XCommandTable::kSuccess;
}

int XMovieCommands::Scale(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "movie scale", {});
    const std::string& path = arguments.GetPositional(0, "the movie FILE");
    const double factor = XCommandArguments::ParseDouble(arguments.GetPositional(1, "the FACTOR"), "FACTOR");
    arguments.ExpectAtMostPositionals(2);
    if (!(factor > 0.0))
        throw XUsageError("FACTOR must be above 0, such as 2 to make the movie twice as long");
    XVolumeKeyframeMovie movie = Load(path);
    XVolumeKeyframeMovie::ScaleMovieBy(float(factor), movie);
    Save(movie, path);
    PrintSummary(path, movie, inOut);
    return XCommandTable::kSuccess;
}

int XMovieCommands::Resize(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "movie resize", {});
    const std::string& path = arguments.GetPositional(0, "the movie FILE");
    const uint64_t frames = XCommandArguments::ParseUInt64(arguments.GetPositional(1, "the number of FRAMES"), "FRAMES");
    arguments.ExpectAtMostPositionals(2);
    XVolumeKeyframeMovie movie = Load(path);
    if (movie.GetLength() == 0)
        throw XUsageError(path + " has no frames to resize; add keyframes with 'kestrin3d movie add-keyframe' first");
    XVolumeKeyframeMovie::ResizeMovieTo(frames, movie);
    Save(movie, path);
    PrintSummary(path, movie, inOut);
    return XCommandTable::kSuccess;
}

void XMovieCommands::PrintSceneState(const XRendererSceneState& inState, std::ostream& inOut)
{
    for (uint32_t channel = 0; channel < inState.GetChannelCount(); ++channel)
        for (XRendererStateName name : inState.GetEnabledStates(channel)) {
            inOut << "    " << name << " " << GetStateLabel(name);
            if (channel != 0)
                inOut << " (channel " << channel << ")";
            inOut << ": " << DescribeValue(name, inState.GetState(name, channel)) << "\n";
        }
}

int XMovieCommands::Show(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    XCommandArguments arguments(inArguments, "movie show", {"--frame", "--timepoints", "--current", "--thumbnails"});
    const std::string& path = arguments.GetPositional(0, "the movie FILE");
    arguments.ExpectAtMostPositionals(1);
    if ((arguments.Has("--timepoints") || arguments.Has("--current")) && !arguments.Has("--frame"))
        throw XUsageError("--timepoints and --current go with --frame N");
    const XVolumeKeyframeMovie movie = Load(path);

    inOut << "Movie \"" << movie.GetName() << "\": " << movie.GetLength() << " frames at "
          << Number(movie.GetPlaybackRate()) << " frames per second\n";
    inOut << "Keyframes: " << movie.GetKeyframeCount() << "\n";
    for (size_t i = 0; i < movie.GetKeyframeCount(); ++i) {
        const XVolumeKeyframeMovie::XKeyframe& keyframe = movie.GetKeyframe(i);
        inOut << "  " << i + 1 << ": " << FrameRange(movie.GetKeyframeStart(keyframe), keyframe.GetLength());
        if (!keyframe.GetBookmark().GetName().IsEmpty())
            inOut << " \"" << keyframe.GetBookmark().GetName() << "\"";
        if (keyframe.GetThumbnail())
            inOut << ", with a thumbnail";
        inOut << "\n";
        PrintSceneState(keyframe.GetBookmark().GetSceneState(), inOut);
    }
    inOut << "Timepoint sequences: " << movie.GetTimepointSequenceCount() << "\n";
    for (size_t i = 0; i < movie.GetTimepointSequenceCount(); ++i) {
        const XSequence& sequence = movie.GetTimepointSequence(i);
        inOut << "  " << i + 1 << ": " << FrameRange(sequence.GetStart(), sequence.GetLength()) << ", "
              << DescribePlayback(sequence.GetPlayback());
        if (sequence.GetPlayback() == XVolumeKeyframeMovie::kPlaybackRange) {
            inOut << " " << sequence.GetStartTimepoint() << " to ";
            if (sequence.GetEndTimepoint() == XVolumeKeyframeMovie::kLastTimepoint)
                inOut << "the last";
            else
                inOut << sequence.GetEndTimepoint();
        }
        inOut << "\n";
    }

    if (arguments.Has("--thumbnails"))
        WriteThumbnails(movie, arguments.GetString("--thumbnails", ""), inOut);
    if (!arguments.Has("--frame"))
        return XCommandTable::kSuccess;
    const uint64_t frame = arguments.GetUInt64("--frame", 0);
    if (frame >= movie.GetLength())
        throw XUsageError("the movie has frames 0 to " +
                          (movie.GetLength() == 0 ? std::string("none") : std::to_string(movie.GetLength() - 1)) +
                          "; give --frame within them");
    inOut << "Frame " << frame << ":\n";
    if (movie.GetKeyframeCount() > 0) {
        XRenderer renderer;
        std::unique_ptr<XBookmark3D> view(movie.MakeFrameBookmark(renderer, frame));
        PrintSceneState(view->GetSceneState(), inOut);
    }
    if (arguments.Has("--timepoints")) {
        const uint64_t count = arguments.GetUInt64("--timepoints", 1);
        const uint64_t current = arguments.GetUInt64("--current", 1);
        if (count == 0 || count > 0xFFFFFFFFu || current == 0 || current > count)
            throw XUsageError("give --timepoints of 1 or more and --current between 1 and that count");
        inOut << "    timepoint: " << movie.GetTimepointAtTime(frame, uint32_t(current), uint32_t(count)) << " of "
              << count << "\n";
    }
    return XCommandTable::kSuccess;
}

void XMovieCommands::WriteThumbnails(const XVolumeKeyframeMovie& inMovie, const std::string& inFolder, std::ostream& inOut)
{
    if (inFolder.empty())
        throw XUsageError("--thumbnails needs a folder, such as --thumbnails thumbs");
    std::error_code ec;
    std::filesystem::create_directories(inFolder, ec);
    size_t written = 0;
    for (size_t i = 0; i < inMovie.GetKeyframeCount(); ++i) {
        const XVolume* thumbnail = inMovie.GetKeyframe(i).GetThumbnail();
        if (!thumbnail)
            continue;
        const X3DRect& bounds = thumbnail->GetBounds();
        XARGB32Volume picture(bounds.GetWidth(), bounds.GetHeight(), 1);
        thumbnail->CopyOutToARGB32Volume(picture);
        XViewFrames::MakeOpaque(picture);
        const std::string path = (std::filesystem::path(inFolder) / ("keyframe-" + std::to_string(i + 1) + ".png")).string();
        XMovieRenderCommand::WriteWhole(picture, path);
        inOut << "Wrote " << path << " (" << bounds.GetWidth() << " x " << bounds.GetHeight() << ")\n";
        ++written;
    }
    if (written == 0)
        inOut << "No keyframe has a thumbnail; add keyframes with 'kestrin3d movie add-keyframe FILE --thumbnail'\n";
}
