#pragma once
// A keyframe movie kept as a database sample.
#include "XDataStorable.h"
#include "XVolumeKeyframeMovie.h"

using XDataVolumeKeyframeMovie = XDataStorable<XVolumeKeyframeMovie, XVolumeKeyframeMovie::kSampleType>;
