/* A program that imports a function Windows XP lacks, built only to show that
 * the import check catches one. */
#include <windows.h>

__declspec(dllimport) void WINAPI InitializeSRWLock(void **lock);

int main(void)
{
    void *lock;
    InitializeSRWLock(&lock);
    return 0;
}
