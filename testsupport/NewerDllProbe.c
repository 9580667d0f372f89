/* A program that imports from a DLL Windows XP does not have, built only to
 * show that the import check catches one. */
#include <windows.h>

__declspec(dllimport) HRESULT WINAPI DwmIsCompositionEnabled(BOOL *enabled);

int main(void)
{
    BOOL on = FALSE;
    return DwmIsCompositionEnabled(&on) == S_OK && on;
}
