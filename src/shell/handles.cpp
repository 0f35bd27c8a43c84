#include "handles.h"

HINSTANCE InstanceHandle;
HWND BackdropWindow;
HFONT BigTitleFont;
HICON SetupIcon;
HBITMAP GradientBitmap;
HDC GradientDC;
