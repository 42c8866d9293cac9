#pragma once
// Told before a GL context's native context goes away, while it is still current,
// so that the listener can delete its GL objects.
class XGLContext;

class XGLContextListener {
public:
    XGLContextListener() = default;
    XGLContextListener(const XGLContextListener&) = delete;
    XGLContextListener& operator=(const XGLContextListener&) = delete;
    // Unregisters from its context.
    virtual ~XGLContextListener();
    virtual void PreContextDispose() {}

    XGLContext* GetContext() const { return itsContext; }
    void SetContext(XGLContext* inContext) { itsContext = inContext; }

private:
    XGLContext* itsContext = nullptr;
};
