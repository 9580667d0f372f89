#include "ScrollBar.h"

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

