#pragma once
// 'kestrin3d movie render': the frames of a keyframe movie drawn with the render
// command's view options into numbered PNGs, then joined into an MP4 by ffmpeg when
// it is installed.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class XARGB32Volume;
class XCommandTable;

class XMovieRenderCommand {
public:
    static void AddTo(XCommandTable& inOutTable);

    // Writes the picture beside inPath and renames it into place, so that inPath is
    // either the whole picture or absent.
    static void WriteWhole(const XARGB32Volume& inPicture, const std::string& inPath);
    // The program's path on PATH, or empty.
    static std::string FindOnPath(const std::string& inProgram);
    // Runs the program with the arguments, without a shell, stdin from /dev/null;
    // returns its exit status (-1 when it did not exit normally or could not start).
    static int RunProgram(const std::string& inPath, const std::vector<std::string>& inArguments);

private:
    static int Render(const std::vector<std::string>& inArguments, std::ostream& inOut);
    static void MakeMP4(const std::string& inFolder, uint64_t inFirst, uint64_t inCount, float inRate,
        std::ostream& inOut);
};
