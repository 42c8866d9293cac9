// The pointers are defined here under their own names, so the redirects stay off.
#define XGL_NO_REDIRECTS
#include "XOpenGL.h"

#include "XException.h"
#include "XGLException.h"
#include "XString.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace XGLEntry {
#define XGL_DEFINE_ENTRY(name) decltype(&::name) name = nullptr;
XGL_EGL_FUNCTION_LIST(XGL_DEFINE_ENTRY)
XGL_CORE_FUNCTION_LIST(XGL_DEFINE_ENTRY)
XGL_GLU_FUNCTION_LIST(XGL_DEFINE_ENTRY)
#undef XGL_DEFINE_ENTRY
} // namespace XGLEntry

namespace {
std::recursive_mutex sLoadMutex;
int sLoadCount = 0;
int sLoadResult = 0;
bool sLoaded = false;
void* sGLLibrary = nullptr;
void* sGLULibrary = nullptr;
void* sEGLLibrary = nullptr;
std::vector<void (*)()> sUnloadHooks;

const char* LibraryName(const char* inVariable, const char* inDefault)
{
    const char* name = std::getenv(inVariable);
    return (name && *name) ? name : inDefault;
}

void ClearPointers()
{
#define XGL_CLEAR_ENTRY(name) XGLEntry::name = nullptr;
    XGL_EGL_FUNCTION_LIST(XGL_CLEAR_ENTRY)
    XGL_CORE_FUNCTION_LIST(XGL_CLEAR_ENTRY)
    XGL_GLU_FUNCTION_LIST(XGL_CLEAR_ENTRY)
#undef XGL_CLEAR_ENTRY
}

void FreeLibraries()
{
    ClearPointers();
    for (void* library : {sGLULibrary, sGLLibrary, sEGLLibrary})
        if (library)
            dlclose(library);
    sGLULibrary = sGLLibrary = sEGLLibrary = nullptr;
}

// Resolves into the pointer; false when the library lacks the name.
template <class F>
bool Resolve(void* inLibrary, F& outPointer, const char* inName)
{
    outPointer = reinterpret_cast<F>(dlsym(inLibrary, inName));
    return outPointer != nullptr;
}

int Load()
{
    // RTLD_LOCAL keeps the libraries' symbols out of the process namespace: nothing
    // else in the module can bind to them by accident. RTLD_NODELETE keeps the driver
    // mapped after the last OpenGLUnInit: drivers leave exit handlers and threads behind
    // that must not outlive their code.
    sEGLLibrary = dlopen(LibraryName("KESTRIN_EGL_LIBRARY", "libEGL.so.1"), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    sGLLibrary = dlopen(LibraryName("KESTRIN_GL_LIBRARY", "libGL.so.1"), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!sEGLLibrary || !sGLLibrary)
        return -666;
    sGLULibrary = dlopen(LibraryName("KESTRIN_GLU_LIBRARY", "libGLU.so.1"), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);

    bool complete = true;
#define XGL_RESOLVE_EGL(name) complete = complete && Resolve(sEGLLibrary, XGLEntry::name, #name);
#define XGL_RESOLVE_GL(name) complete = complete && Resolve(sGLLibrary, XGLEntry::name, #name);
#define XGL_RESOLVE_GLU(name) complete = complete && Resolve(sGLULibrary, XGLEntry::name, #name);
    XGL_EGL_FUNCTION_LIST(XGL_RESOLVE_EGL)
    XGL_CORE_FUNCTION_LIST(XGL_RESOLVE_GL)
    if (sGLULibrary) {
        XGL_GLU_FUNCTION_LIST(XGL_RESOLVE_GLU)
    }
#undef XGL_RESOLVE_EGL
#undef XGL_RESOLVE_GL
#undef XGL_RESOLVE_GLU
    return complete ? 0 : -1;
}

// Extension names of one extension string, cached per thread and keyed by the
// string's address: the driver keeps one string per context, so a different
// address means a different context.
struct ExtensionCache {
    const GLubyte* key = nullptr;
    std::string text;
    std::unordered_set<std::string_view> names;
    double version = 0.0;
};

const ExtensionCache* CurrentExtensions()
{
    thread_local ExtensionCache sCache;
    if (!XGLEntry::glGetString)
        return nullptr;
    const GLubyte* extensions = XGLEntry::glGetString(GL_EXTENSIONS);
    if (!extensions)
        return nullptr;
    if (extensions != sCache.key) {
        sCache.key = extensions;
        sCache.text = reinterpret_cast<const char*>(extensions);
        sCache.names.clear();
        std::string_view all(sCache.text);
        size_t at = 0;
        while (at < all.size()) {
            size_t end = all.find(' ', at);
            if (end == std::string_view::npos)
                end = all.size();
            if (end > at)
                sCache.names.insert(all.substr(at, end - at));
            at = end + 1;
        }
        const GLubyte* version = XGLEntry::glGetString(GL_VERSION);
        sCache.version = version ? std::atof(reinterpret_cast<const char*>(version)) : 0.0;
    }
    return &sCache;
}

bool MeetsRequirement(const ExtensionCache& inCache, std::string_view inRequirement)
{
    constexpr std::string_view kVersionPrefix = "GL_VERSION_";
    if (inRequirement.starts_with(kVersionPrefix)) {
        std::string number(inRequirement.substr(kVersionPrefix.size()));
        for (char& c : number)
            if (c == '_')
                c = '.';
        // A little slack so that "1.2" as a double does not fail against itself.
        return inCache.version + 1e-9 >= std::atof(number.c_str());
    }
    return inCache.names.count(inRequirement) != 0;
}
} // namespace

int OpenGLInit()
{
    std::lock_guard<std::recursive_mutex> lock(sLoadMutex);
    if (sLoadCount++ > 0)
        return sLoadResult; // a failed load stays failed until the count returns to zero
    sLoadResult = Load();
    sLoaded = sLoadResult == 0;
    if (!sLoaded)
        FreeLibraries();
    return sLoadResult;
}

void OpenGLUnInit()
{
    std::lock_guard<std::recursive_mutex> lock(sLoadMutex);
    if (sLoadCount == 0)
        return;
    if (--sLoadCount > 0)
        return;
    if (sLoaded)
        for (auto hook : sUnloadHooks)
            hook();
    FreeLibraries();
    sLoaded = false;
    sLoadResult = 0;
}

bool OpenGLIsLoaded()
{
    std::lock_guard<std::recursive_mutex> lock(sLoadMutex);
    return sLoaded;
}

void OpenGLAddUnloadHook(void (*inHook)())
{
    std::lock_guard<std::recursive_mutex> lock(sLoadMutex);
    for (auto hook : sUnloadHooks)
        if (hook == inHook)
            return;
    sUnloadHooks.push_back(inHook);
}

void* OpenGLGetExtensionFunction(const char* inName)
{
    if (!XGLEntry::eglGetProcAddress || !inName)
        return nullptr;
    return reinterpret_cast<void*>(XGLEntry::eglGetProcAddress(inName));
}

bool OpenGLExtensionListContains(const char* inList, const char* inName)
{
    if (!inList || !inName || !*inName)
        return false;
    std::string_view list(inList);
    std::string_view name(inName);
    size_t at = 0;
    while ((at = list.find(name, at)) != std::string_view::npos) {
        bool startsWord = at == 0 || list[at - 1] == ' ';
        size_t end = at + name.size();
        bool endsWord = end == list.size() || list[end] == ' ';
        if (startsWord && endsWord)
            return true;
        at = end;
    }
    return false;
}

bool OpenGLCheckExtension(const char* inName)
{
    const ExtensionCache* cache = CurrentExtensions();
    return cache && inName && cache->names.count(std::string_view(inName)) != 0;
}

bool OpenGLCheckWGLExtension(EGLDisplay inDisplay, const char* inName)
{
    if (!XGLEntry::eglQueryString)
        return false;
    return OpenGLExtensionListContains(XGLEntry::eglQueryString(inDisplay, EGL_EXTENSIONS), inName);
}

void* XGLEntry::ResolveExtension(const char* inName, const char* inRequirement)
{
    void* function = OpenGLGetExtensionFunction(inName);
    bool available = false;
    if (function) {
        if (const ExtensionCache* cache = CurrentExtensions()) {
            std::string_view requirement(inRequirement);
            size_t at = 0;
            while (!available && at < requirement.size()) {
                size_t end = requirement.find(' ', at);
                if (end == std::string_view::npos)
                    end = requirement.size();
                available = MeetsRequirement(*cache, requirement.substr(at, end - at));
                at = end + 1;
            }
        }
    }
    if (!available)
        throw XException(XException::kMissingExtension,
                         XString("the OpenGL function %1 needs %2, which the current OpenGL context does not offer; "
                                 "update the graphics driver or choose another renderer")
                             .Replace(XString(inName))
                             .Replace(XString(inRequirement)));
    return function;
}

const GLubyte* XGLEntry::TryGLUErrorString(GLenum inError)
{
    return XGLEntry::gluErrorString ? XGLEntry::gluErrorString(inError) : nullptr;
}

void XGLEntry::ThrowGLUMissing(const char* inName)
{
    throw XException(XException::kMissingExtension,
                     XString("the GLU function %1 is not available because the GLU library could not be loaded; "
                             "install the GLU library")
                         .Replace(XString(inName)));
}

namespace {
void CheckUploadSize(GLenum inTarget, GLsizei inWidth, GLsizei inHeight, GLint inBorder)
{
    // Proxy targets exist to ask whether a size fits: they pass unchecked.
    if (inTarget == GL_PROXY_TEXTURE_1D || inTarget == GL_PROXY_TEXTURE_2D)
        return;
    GLint maxSize = 0;
    XGLEntry::glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const GLint limit = maxSize + 2 * inBorder;
    if (inWidth < 0 || inHeight < 0 || inBorder < 0 || inBorder > 1 || (maxSize > 0 && (inWidth > limit || inHeight > limit)))
        throw XGLException(GL_INVALID_VALUE);
}

void CheckUploadResult()
{
    GLenum error = XGLEntry::glGetError();
    if (error != GL_NO_ERROR)
        throw XGLException(error); // GL_OUT_OF_MEMORY gives 0x0505
}
} // namespace

void exceptglTexImage1D(GLenum inTarget, GLint inLevel, GLint inInternalFormat, GLsizei inWidth, GLint inBorder,
                        GLenum inFormat, GLenum inType, const GLvoid* inPixels)
{
    CheckUploadSize(inTarget, inWidth, 1, inBorder);
    XGLEntry::glTexImage1D(inTarget, inLevel, inInternalFormat, inWidth, inBorder, inFormat, inType, inPixels);
    CheckUploadResult();
}

void exceptglTexImage2D(GLenum inTarget, GLint inLevel, GLint inInternalFormat, GLsizei inWidth, GLsizei inHeight,
                        GLint inBorder, GLenum inFormat, GLenum inType, const GLvoid* inPixels)
{
    CheckUploadSize(inTarget, inWidth, inHeight, inBorder);
    XGLEntry::glTexImage2D(inTarget, inLevel, inInternalFormat, inWidth, inHeight, inBorder, inFormat, inType,
                           inPixels);
    CheckUploadResult();
}
