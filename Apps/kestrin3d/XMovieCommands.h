#pragma once
// The "movie" commands of kestrin3d: keyframe movies kept in files, in the movie's
// stream format. They create a movie, add keyframes and timepoint sequences,
// scale or resize it, and show it with the view of any frame.
#include "XRendererSceneState.h"
#include "XVolumeKeyframeMovie.h"

#include <ostream>
#include <string>
#include <vector>

class XCommandArguments;
class XCommandTable;

class XMovieCommands {
public:
    static void AddTo(XCommandTable& inOutTable);

    // Reads a movie file; a missing, damaged or foreign file throws an XException
    // whose text names the file.
    static XVolumeKeyframeMovie Load(const std::string& inPath);
    // Replaces the file as a whole (a failed write leaves the old file).
    static void Save(const XVolumeKeyframeMovie& inMovie, const std::string& inPath);

private:
    static int New(const std::vector<std::string>& inArguments, std::ostream& inOut);
    static int AddKeyframe(const std::vector<std::string>& inArguments, std::ostream& inOut);
    static int AddTimepoints(const std::vector<std::string>& inArguments, std::ostream& inOut);
    static int Scale(const std::vector<std::string>& inArguments, std::ostream& inOut);
    static int Resize(const std::vector<std::string>& inArguments, std::ostream& inOut);
    static int Show(const std::vector<std::string>& inArguments, std::ostream& inOut);

    // The scene of a new keyframe from the add-keyframe options.
    static XRendererSceneState MakeKeyframeScene(const XCommandArguments& inArguments);
    static void PrintSummary(const std::string& inPath, const XVolumeKeyframeMovie& inMovie, std::ostream& inOut);
    // Writes each keyframe's thumbnail as inFolder/keyframe-N.png (N from 1).
    static void WriteThumbnails(const XVolumeKeyframeMovie& inMovie, const std::string& inFolder, std::ostream& inOut);
    static void PrintSceneState(const XRendererSceneState& inState, std::ostream& inOut);
};
