#pragma once
// The "info" command of kestrin3d: what a stack holds (size, voxel size, channels,
// timepoints and each channel's value range), read as the renderers would read it;
// with --gl, what the OpenGL device found.
#include <ostream>
#include <string>
#include <vector>

class XCommandTable;
class XDataVolumeSequence;

class XInfoCommands {
public:
    static void AddTo(XCommandTable& inOutTable);

private:
    // inAutoRanges says per channel (from 0) whether its display range came from its histogram.
    static void PrintInfo(const std::string& inSource, const XDataVolumeSequence& inSequence, std::ostream& inOut,
                          const std::vector<bool>& inAutoRanges);
    static void PrintDeviceInfo(std::ostream& inOut);
    static int Info(const std::vector<std::string>& inArguments, std::ostream& inOut);
};
