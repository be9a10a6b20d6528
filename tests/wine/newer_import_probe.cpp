// A program that imports a function Windows 8 added, for the test that
// check-imports.sh refuses it. Never run.
#include <windows.h>

// The headers offer it only from _WIN32_WINNT 0x0602 on.
extern "C" __declspec(dllimport) void WINAPI GetSystemTimePreciseAsFileTime(FILETIME* time);

int main() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<int>(now.dwLowDateTime & 1);
}
