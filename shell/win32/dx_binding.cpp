#include "shell/win32/dx_binding.h"

DirectDrawBinding DirectDraw;
DirectSoundBinding DirectSound;

namespace {

FARPROC Resolve(HMODULE module, const char* name) {
    // A null module resolves nothing; GetProcAddress would fail anyway, but
    // the call is not worth making.
    return module ? GetProcAddress(module, name) : nullptr;
}

void BindDirectDraw() {
    DirectDrawBinding& b = DirectDraw;
    b.module = LoadLibraryA("DDraw.dll");
    b.EnumerateA = Resolve(b.module, "DirectDrawEnumerateA");
    b.EnumerateW = Resolve(b.module, "DirectDrawEnumerateW");
    b.EnumerateExA = Resolve(b.module, "DirectDrawEnumerateExA");
    b.EnumerateExW = Resolve(b.module, "DirectDrawEnumerateExW");
    b.Create = Resolve(b.module, "DirectDrawCreate");
    b.CreateEx = Resolve(b.module, "DirectDrawCreateEx");
    b.CreateClipper = Resolve(b.module, "DirectDrawCreateClipper");
    b.Enumerate = b.EnumerateA;
    b.EnumerateEx = b.EnumerateExA;
}

void BindDirectSound() {
    DirectSoundBinding& b = DirectSound;
    b.module = LoadLibraryA("DSound.dll");
    b.Create = Resolve(b.module, "DirectSoundCreate");
    b.Create8 = Resolve(b.module, "DirectSoundCreate8");
    b.FullDuplexCreate8 = Resolve(b.module, "DirectSoundFullDuplexCreate8");
    b.GetDeviceID = Resolve(b.module, "GetDeviceID");
    b.EnumerateW = Resolve(b.module, "DirectSoundEnumerateW");
    b.EnumerateA = Resolve(b.module, "DirectSoundEnumerateA");
    b.CaptureCreate = Resolve(b.module, "DirectSoundCaptureCreate");
    b.CaptureCreate8 = Resolve(b.module, "DirectSoundCaptureCreate8");
    b.CaptureEnumerateW = Resolve(b.module, "DirectSoundCaptureEnumerateW");
    b.CaptureEnumerateA = Resolve(b.module, "DirectSoundCaptureEnumerateA");
    b.Enumerate = b.EnumerateA;
    b.CaptureEnumerate = b.CaptureEnumerateA;
}

// Only the two creation functions are ever called; a missing enumeration
// function does no harm.
void NoteMissing(std::string& text, HMODULE module, FARPROC entry, const char* library,
                 const char* name) {
    if (!module) {
        text += std::string(library) + " could not be loaded.\n";
    } else if (!entry) {
        text += std::string(name) + " was not found in " + library + ".\n";
    }
}

}  // namespace

void BindDirectX() {
    BindDirectDraw();
    BindDirectSound();
}

std::string MissingDirectXText() {
    std::string text;
    NoteMissing(text, DirectDraw.module, DirectDraw.CreateEx, "DDraw.dll", "DirectDrawCreateEx");
    NoteMissing(text, DirectSound.module, DirectSound.Create8, "DSound.dll", "DirectSoundCreate8");
    if (!text.empty()) text.pop_back();  // no line break after the last line
    return text;
}

void UnbindDirectX() {
    if (DirectSound.module) FreeLibrary(DirectSound.module);
    DirectSound = DirectSoundBinding{};
    if (DirectDraw.module) FreeLibrary(DirectDraw.module);
    DirectDraw = DirectDrawBinding{};
}
