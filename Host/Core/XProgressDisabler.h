#pragma once
// While alive, no XProgress draws anything (nested: the display returns with the last one).
class XProgressDisabler {
public:
    XProgressDisabler();
    ~XProgressDisabler();
    XProgressDisabler(const XProgressDisabler&) = delete;
    XProgressDisabler& operator=(const XProgressDisabler&) = delete;
};
