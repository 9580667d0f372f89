#include "Edit.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
