#pragma once
// The DirectX libraries are not linked: "DDraw.dll" and "DSound.dll" are
// loaded by name when the program starts and their entry points are taken by
// name. An address stays null when its library or name is missing.
#include <windows.h>

#include <string>

// One library bound by name: its module and the address of each of its
// names, in the order they are resolved.
struct LibraryBinding {
    static constexpr int MaxNames = 10;
    const char* library;
    const char* names[MaxNames];  // unused slots are null
    const char* called;           // the one entry point the program calls
    HMODULE module = nullptr;
    FARPROC addresses[MaxNames] = {};
};

extern LibraryBinding DirectDraw;
extern LibraryBinding DirectSound;

// The address bound to a name, null when missing. A name without a
// character-set suffix whose "A" variant the library has
// ("DirectDrawEnumerate") is an alias of that variant.
FARPROC Address(const LibraryBinding& binding, const char* name);

// The typed function behind an entry point (null stays null).
template <typename Function>
Function EntryPoint(const LibraryBinding& binding, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Address(binding, name)));
}

// Loads "DDraw.dll", resolves its names in order, then the same for
// "DSound.dll". Nothing is checked here.
void BindDirectX();

// The text naming every library or entry point that the program calls and
// that the binding could not find, one per line; empty when nothing is missing.
std::string MissingDirectXText();

// Unloads "DSound.dll", then "DDraw.dll", each only if it was loaded.
void UnbindDirectX();
