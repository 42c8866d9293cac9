// libFuzzer target: any bytes given to the keyframe movie reader must either be
// refused with an XException, leaving the movie as it was, or read as a sound movie
// that writes back to the same bytes it reads again from. Built only in the clang
// sanitizer build; the suffix keeps it out of the test suite's sources.
#include "XException.h"
#include "XRenderer.h"
#include "XStream.h"
#include "XVolumeKeyframeMovie.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {
void Check(bool inCondition)
{
    if (!inCondition)
        std::abort();
}

std::vector<uint8_t> Write(const XVolumeKeyframeMovie& inMovie)
{
    XStream stream;
    inMovie.WriteStream2(stream);
    return stream.GetBuffer();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* inData, size_t inSize)
{
    XVolumeKeyframeMovie movie("before");
    movie.AppendKeyframeTransition(XBookmark3D(), 3);
    const std::vector<uint8_t> before = Write(movie);
    XStream stream(inData, inSize);
    try {
        movie.ReadStream2(stream);
    } catch (const XException&) {
        Check(Write(movie) == before);
        return 0;
    }

    const std::vector<uint8_t> written = Write(movie);
    Check(written.size() == movie.GetStreamUsage());
    Check(movie.GetKeyframesLength() <= XVolumeKeyframeMovie::kMaxFrames);
    XVolumeKeyframeMovie again;
    XStream reread(written);
    again.ReadStream2(reread);
    Check(Write(again) == written);

    // What was read must also be safe to play.
    const uint64_t length = movie.GetLength();
    if (length > 0 && movie.GetKeyframeCount() > 0) {
        XRenderer renderer;
        for (uint64_t t : {uint64_t(0), length / 2, length - 1}) {
            std::unique_ptr<XBookmark3D> frame(movie.MakeFrameBookmark(renderer, t));
            const uint32_t timepoint = movie.GetTimepointAtTime(t, 1, 10);
            Check(timepoint >= 1 && timepoint <= 10);
        }
    }
    return 0;
}
