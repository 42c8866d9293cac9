#include "XMovieRenderCommand.h"

#include "XARGB32Volume.h"
#include "XBookmark3D.h"
#include "XCommandArguments.h"
#include "XCommandTable.h"
#include "XException.h"
#include "XHostSetup.h"
#include "XMovieCommands.h"
#include "XPNGFile.h"
#include "XProgress.h"
#include "XRenderCommands.h"
#include "XRenderOptions.h"
#include "XRenderer.h"
#include "XViewFrames.h"
#include "XVolumeKeyframeMovie.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
namespace fs = std::filesystem;

std::string FrameName(uint64_t inFrame)
{
    char name[40];
    std::snprintf(name, sizeof(name), "frame-%05llu.png", static_cast<unsigned long long>(inFrame));
    return name;
}

// "A-B" or "A", frames counted from 0, within a movie of inLength frames.
std::pair<uint64_t, uint64_t> ParseFrames(const std::string& inText, uint64_t inLength)
{
    const size_t dash = inText.find('-');
    const uint64_t first = XCommandArguments::ParseUInt64(inText.substr(0, dash), "the first frame of --frames");
    const uint64_t last = dash == std::string::npos
        ? first
        : XCommandArguments::ParseUInt64(inText.substr(dash + 1), "the last frame of --frames");
    if (first > last || last >= inLength)
        throw XUsageError("the movie has frames 0 to " + std::to_string(inLength - 1) + "; give --frames A-B within them, "
                          "A at most B, not '" + inText + "'");
    return {first, last};
}

std::string Rate(float inRate)
{
    std::ostringstream text;
    text << std::setprecision(6) << inRate;
    return text.str();
}
} // namespace

void XMovieRenderCommand::AddTo(XCommandTable& inOutTable)
{
    static const std::string help = std::string(
        "Draws each frame of the movie: the view options below, with the scene states\n"
        "each frame's keyframes give in place of the options' own, at the timepoint the\n"
        "movie's sequences give. A keyframe always holds a camera and a volume rotation,\n"
        "so --rotate (and --zoom in the planes view) shape only movies without keyframes,\n"
        "which draw the options' view at each frame's timepoint. DIR/frame-00000.png, DIR/frame-00001.png ... are written whole or\n"
        "not at all; when ffmpeg is on PATH they are joined into DIR/movie.mp4 at the\n"
        "movie's rate.\n\n"
        "  -o DIR        the folder for the frames (made if missing; frames are replaced)\n"
        "  --data STACK  the TIFF stack to draw (default: the built-in sample)\n"
        "  --frames A-B  only frames A to B, counted from 0 (default: all)\n\n"
        "View options, as for 'kestrin3d render' (without -o and FILE):\n") +
        (std::string(XRenderOptions::kHelp).substr(std::string(XRenderOptions::kHelp).find("  --size")));
    inOutTable.Add({"movie", "render", "FILE -o DIR [--data STACK] [--frames A-B] [VIEW OPTIONS]",
                    "draw a movie's frames into PNGs (and an MP4 with ffmpeg)", help,
                    &XMovieRenderCommand::Render});
}

void XMovieRenderCommand::WriteWhole(const XARGB32Volume& inPicture, const std::string& inPath)
{
    const fs::path path(inPath);
    std::string hidden(1, '.');
    hidden += path.filename().string();
    hidden += ".part";
    const fs::path part = path.parent_path() / hidden;
    try {
        XPNGFile::Write(XString(part.string()), inPicture);
        fs::rename(part, path);
    } catch (const fs::filesystem_error& e) {
        std::error_code ignored;
        fs::remove(part, ignored);
        throw XException(XException::kFileError,
                         XString("cannot write %1: %2; check the folder and free space")
                             .Replace(XString(inPath))
                             .Replace(XString(e.code().message())));
    } catch (...) {
        std::error_code ignored;
        fs::remove(part, ignored);
        throw;
    }
}

std::string XMovieRenderCommand::FindOnPath(const std::string& inProgram)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const fs::path candidate = fs::path(folder.empty() ? "." : folder) / inProgram;
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

int XMovieRenderCommand::RunProgram(const std::string& inPath, const std::vector<std::string>& inArguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(inPath.c_str()));
    for (const std::string& argument : inArguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t child = 0;
    const int started = posix_spawn(&child, inPath.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void XMovieRenderCommand::MakeMP4(const std::string& inFolder, uint64_t inFirst, uint64_t inCount, float inRate,
    std::ostream& inOut)
{
    const fs::path folder(inFolder);
    const std::string movie = (folder / "movie.mp4").string();
    const std::string ffmpeg = FindOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        inOut << "ffmpeg is not on PATH, so no movie.mp4 was made; install ffmpeg to have one, or join the frames in "
              << inFolder << " with another tool\n";
        return;
    }
    // Written beside the movie and renamed, as the frames are.
    const std::string part = (folder / ".movie.part.mp4").string();
    const int status = RunProgram(ffmpeg,
        {"-nostdin", "-y", "-loglevel", "error", "-framerate", Rate(inRate), "-start_number", std::to_string(inFirst),
         "-i", (folder / "frame-%05d.png").string(), "-frames:v", std::to_string(inCount),
         // The usual MP4 encoders want even sides.
         "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-pix_fmt", "yuv420p", part});
    std::error_code ec;
    if (status == 0 && fs::exists(part, ec)) {
        fs::rename(part, movie, ec);
        if (!ec) {
            inOut << "Wrote " << movie << " at " << Rate(inRate) << " frames per second\n";
            return;
        }
    }
    fs::remove(part, ec);
    throw XException(XException::kFileError,
                     XString("ffmpeg (%1) could not make %2 (%3); the frames are kept in %4")
                         .Replace(XString(ffmpeg))
                         .Replace(XString(movie))
                         .Replace(XString(status < 0 ? std::string("it did not run to the end")
                                                     : "exit status " + std::to_string(status)))
                         .Replace(XString(inFolder)));
}

int XMovieRenderCommand::Render(const std::vector<std::string>& inArguments, std::ostream& inOut)
{
    // The movie's own options are taken out; the rest are the render command's.
    std::string file, folder, data, frames;
    bool hasFolder = false, hasFrames = false;
    std::vector<std::string> view{"--output", "frame.png"};
    const std::set<std::string>& valueOptions = XRenderOptions::GetValueOptions();
    for (size_t i = 0; i < inArguments.size(); ++i) {
        const std::string& argument = inArguments[i];
        const size_t equals = argument.find('=');
        const std::string name = argument.rfind("--", 0) == 0 ? argument.substr(0, equals) : argument;
        const bool own = name == "-o" || name == "--output" || name == "--data" || name == "--frames";
        if (own) {
            std::string value;
            if (equals != std::string::npos && name != "-o")
                value = argument.substr(equals + 1);
            else if (i + 1 < inArguments.size())
                value = inArguments[++i];
            else
                throw XUsageError(name + " needs a value; see 'kestrin3d movie render --help'");
            if (name == "--data")
                data = value;
            else if (name == "--frames")
                frames = value, hasFrames = true;
            else
                folder = value, hasFolder = true;
        } else if (argument.rfind("-", 0) == 0) {
            view.push_back(argument);
            if (equals == std::string::npos && valueOptions.count(argument) && i + 1 < inArguments.size())
                view.push_back(inArguments[++i]);
        } else if (file.empty()) {
            file = argument;
        } else {
            throw XUsageError("'movie render' takes one movie FILE; give the stack to draw with --data, not '" + argument +
                              "'");
        }
    }
    if (file.empty())
        throw XUsageError("'movie render' needs the movie FILE, such as 'kestrin3d movie render fly.kmovie -o frames'");
    if (!hasFolder || folder.empty())
        throw XUsageError("'movie render' needs the folder for the frames: add -o DIR");
    if (!data.empty())
        view.push_back(data);
    XRenderOptions options = XRenderOptions::Parse(view, "movie render");

    const XVolumeKeyframeMovie movie = XMovieCommands::Load(file);
    const uint64_t length = movie.GetLength();
    if (length == 0)
        throw XUsageError(file + " has no frames; add keyframes or timepoint sequences with 'kestrin3d movie add-keyframe' "
                                 "or 'kestrin3d movie add-timepoints' first");
    const auto [first, last] = hasFrames ? ParseFrames(frames, length) : std::pair<uint64_t, uint64_t>{0, length - 1};
    std::error_code ec;
    fs::create_directories(folder, ec);
    XRenderCommands::CheckOutputWritable((fs::path(folder) / FrameName(first)).string());

    const std::unique_ptr<XViewFrames> view3D = XViewFrames::Make(options);
    const uint32_t timepoints = view3D->GetTimepointCount();
    // States are interpolated by the renderer that draws them, where there is one.
    XRenderer plain;
    const XRenderer& interpolator = view3D->GetRenderer() ? *view3D->GetRenderer() : plain;
    const uint64_t count = last - first + 1;
    {
        XProgress progress(XString("Rendering %1 frames of %2 x %3")
                               .Replace(int64_t(count))
                               .Replace(int64_t(options.width))
                               .Replace(int64_t(options.height)),
            count);
        for (uint64_t frame = first; frame <= last; ++frame) {
            std::unique_ptr<XBookmark3D> scene;
            if (movie.GetKeyframeCount() > 0)
                scene.reset(movie.MakeFrameBookmark(interpolator, frame));
            const uint32_t timepoint = movie.GetTimepointAtTime(frame, options.timepoint, timepoints);
            const XARGB32Volume picture = view3D->Render(scene ? &scene->GetSceneState() : nullptr, timepoint);
            WriteWhole(picture, (fs::path(folder) / FrameName(frame)).string());
            progress.Increment();
        }
        progress.Done();
    }
    inOut << "Wrote " << count << (count == 1 ? " frame" : " frames") << " of " << options.width << " x "
          << options.height << " to " << folder << ": " << FrameName(first) << " to " << FrameName(last) << " ("
          << XHostSetup::DescribeSource(options.input) << ")\n";
    MakeMP4(folder, first, count, movie.GetPlaybackRate(), inOut);
    return XCommandTable::kSuccess;
}
