// Sleeps until it is killed. The suite keeps one running in the test prefix
// from the start. Wine ends its own services (services.exe, and explorer.exe
// for the desktop) once no program uses them, and the next program to need
// them starts them again, handing them its output: a test that happened to
// be that program then seemed to run until the last test running beside it
// ended, for ctest waits for the output to close. Asking for the desktop
// window starts the desktop here, with no output, and keeps it.
#include <windows.h>

int main()
{
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
