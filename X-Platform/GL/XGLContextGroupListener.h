#pragma once
// Told when a group of GL contexts that share objects begins and ends; per-group
// GL objects drop their data when their group ends. Registers itself while alive.
class XGLContextGroupListener {
public:
    XGLContextGroupListener();
    XGLContextGroupListener(const XGLContextGroupListener&) = delete;
    XGLContextGroupListener& operator=(const XGLContextGroupListener&) = delete;
    virtual void ContextGroupCreated(unsigned long inGroupID);
    virtual void ContextGroupDestroyed(unsigned long inGroupID);
    virtual ~XGLContextGroupListener();
};
