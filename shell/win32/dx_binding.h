#pragma once
// The DirectX libraries are not linked: "DDraw.dll" and "DSound.dll" are
// loaded by name when the program starts and their entry points are taken by
// name. An address stays null when its library or name is missing.
#include <windows.h>

#include <string>

struct DirectDrawBinding {
    HMODULE module = nullptr;
    FARPROC EnumerateA = nullptr;
    FARPROC EnumerateW = nullptr;
    FARPROC EnumerateExA = nullptr;
    FARPROC EnumerateExW = nullptr;
    FARPROC Create = nullptr;
    FARPROC CreateEx = nullptr;
    FARPROC CreateClipper = nullptr;
    FARPROC Enumerate = nullptr;    // alias of EnumerateA
    FARPROC EnumerateEx = nullptr;  // alias of EnumerateExA
};

struct DirectSoundBinding {
    HMODULE module = nullptr;
    FARPROC Create = nullptr;
    FARPROC Create8 = nullptr;
    FARPROC FullDuplexCreate8 = nullptr;
    FARPROC GetDeviceID = nullptr;
    FARPROC EnumerateW = nullptr;
    FARPROC EnumerateA = nullptr;
    FARPROC CaptureCreate = nullptr;
    FARPROC CaptureCreate8 = nullptr;
    FARPROC CaptureEnumerateW = nullptr;
    FARPROC CaptureEnumerateA = nullptr;
    FARPROC Enumerate = nullptr;         // alias of EnumerateA
    FARPROC CaptureEnumerate = nullptr;  // alias of CaptureEnumerateA
};

extern DirectDrawBinding DirectDraw;
extern DirectSoundBinding DirectSound;

// The typed function behind an entry point (null stays null).
template <typename Function>
Function EntryPoint(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// Loads "DDraw.dll", resolves its names in order, then the same for
// "DSound.dll". Nothing is checked here.
void BindDirectX();

// The text naming every library or entry point that the program calls and
// that the binding could not find, one per line; empty when nothing is missing.
std::string MissingDirectXText();

// Unloads "DSound.dll", then "DDraw.dll", each only if it was loaded.
void UnbindDirectX();
