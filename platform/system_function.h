// A function of a Windows library that only a few steps of a run need,
// loaded when it is first asked for, so that the library doesn't slow every
// start of the program (the common dialogs alone cost tens of milliseconds
// to load); also one that older Windows may lack. Null when the library or
// the function is missing.
#pragma once

#include <windows.h>

template <class Function>
Function SystemFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryA(library);  // stays loaded for the run
    if (!module)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
