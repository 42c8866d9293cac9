#pragma once
// The "iso" command of kestrin3d: the surface around the voxels of one channel above
// a threshold, written as a PLY, OBJ or STL mesh in micrometres.
#include <ostream>
#include <string>
#include <vector>

class XCommandTable;

class XIsoCommands {
public:
    static void AddTo(XCommandTable& inOutTable);

private:
    static int Iso(const std::vector<std::string>& inArguments, std::ostream& inOut);
};
