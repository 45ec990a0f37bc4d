#include <windows.h>

/* Stand-in for the run-time library's About entry: the same stdcall export by name, a result
   chosen by the test, and a record of how it was called. */
static int g_result = 0;
static int g_calls = 0;
static int g_lastOwner = -1;

__declspec(dllexport) int WINAPI ShowVersionInfoDialog(int owner) {
    ++g_calls;
    g_lastOwner = owner;
    return g_result;
}

__declspec(dllexport) void WINAPI RUKStubSetResult(int result) { g_result = result; }
__declspec(dllexport) int WINAPI RUKStubCalls(void) { return g_calls; }
__declspec(dllexport) int WINAPI RUKStubLastOwner(void) { return g_lastOwner; }
