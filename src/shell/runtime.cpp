// The whole run-time support of setup.exe. A clean Windows 95 has no C
// run-time DLL, so the program links none: this entry calls WinMain and ends
// the process, and the memory routines below are the only ones the compiler
// may emit calls to (structure initialisation and copies).
#include <windows.h>

extern "C" {

void* memset(void* destination, int value, size_t count)
{
    unsigned char* bytes = static_cast<unsigned char*>(destination);
    while (count-- != 0)
        *bytes++ = static_cast<unsigned char>(value);
    return destination;
}

void* memcpy(void* destination, const void* source, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    while (count-- != 0)
        *to++ = *from++;
    return destination;
}

// Windows starts a program with only 4-byte stack alignment on x86.
__attribute__((force_align_arg_pointer)) void WinMainCRTStartup()
{
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr,
                                          SW_SHOWDEFAULT)));
}

}  // extern "C"
