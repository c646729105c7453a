// The module whose resources and window class the editor uses: the effect's
// own DLL, found from the address of its code.
#pragma once

#include <windows.h>

// [any thread]
HINSTANCE EffectModuleInstance();

// Points the editors created from now on at another module. Programs that
// link the effect's code statically (the tests) use it to read the images
// from the built module. [before any editor is created]
void SetEffectModuleInstance(HINSTANCE module);
