#include "WRendererEnclosureWnd.h"

#include "WGLWnd.h"

#include <algorithm>

WRendererEnclosureWnd::WRendererEnclosureWnd(int32_t inWidth, int32_t inHeight)
    : itsWidth(std::max<int32_t>(inWidth, 1)), itsHeight(std::max<int32_t>(inHeight, 1))
{
}

void WRendererEnclosureWnd::SetRendererWnd(WGLWnd* inWnd)
{
    itsRendererWnd = inWnd;
    if (itsRendererWnd)
        itsRendererWnd->SetSize(itsWidth, itsHeight);
}

void WRendererEnclosureWnd::SetSize(int32_t inWidth, int32_t inHeight)
{
    itsWidth = std::max<int32_t>(inWidth, 1);
    itsHeight = std::max<int32_t>(inHeight, 1);
    if (itsRendererWnd)
        itsRendererWnd->SetSize(itsWidth, itsHeight);
}
