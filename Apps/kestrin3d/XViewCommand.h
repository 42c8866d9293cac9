#pragma once
// The "view" command of kestrin3d: an X11 window showing the planes view of a stack
// (or the built-in sample), turned, moved and lit with the canvas tools chosen by
// keys, with a status line naming the voxel under the mouse and its values.
#include <ostream>
#include <string>
#include <vector>

class XCommandTable;

class XViewCommand {
public:
    static void AddTo(XCommandTable& inOutTable);

private:
    static int View(const std::vector<std::string>& inArguments, std::ostream& inOut);
};
