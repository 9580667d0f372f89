#include "SkinControlState.h"

// The main dialog has no skin elements yet: nothing to enable or disable.
void CSkinControlState::Refresh()
{
}
