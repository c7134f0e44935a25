#include "platform/gdi.h"

#include <cstring>

HFONT CreatePointFont(HWND window, const char* face, int points, int weight)
{
    HDC dc = GetDC(window);
    int pixelsPerInch = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(window, dc);
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(points, pixelsPerInch, 72);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}
