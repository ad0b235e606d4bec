#include "shell/win32/dx_binding.h"

#include <cstring>

LibraryBinding DirectDraw = {
    "DDraw.dll",
    {"DirectDrawEnumerateA", "DirectDrawEnumerateW", "DirectDrawEnumerateExA", "DirectDrawEnumerateExW",
     "DirectDrawCreate", "DirectDrawCreateEx", "DirectDrawCreateClipper"},
    "DirectDrawCreateEx",
};
LibraryBinding DirectSound = {
    "DSound.dll",
    {"DirectSoundCreate", "DirectSoundCreate8", "DirectSoundFullDuplexCreate8", "GetDeviceID",
     "DirectSoundEnumerateW", "DirectSoundEnumerateA", "DirectSoundCaptureCreate",
     "DirectSoundCaptureCreate8", "DirectSoundCaptureEnumerateW", "DirectSoundCaptureEnumerateA"},
    "DirectSoundCreate8",
};

namespace {

void Bind(LibraryBinding& binding) {
    binding.module = LoadLibraryA(binding.library);
    // A null module resolves nothing; GetProcAddress would fail anyway.
    for (int i = 0; i < LibraryBinding::MaxNames && binding.names[i] && binding.module; ++i)
        binding.addresses[i] = GetProcAddress(binding.module, binding.names[i]);
}

void Unbind(LibraryBinding& binding) {
    if (binding.module) FreeLibrary(binding.module);
    binding.module = nullptr;
    std::memset(binding.addresses, 0, sizeof binding.addresses);
}

// Only the creation functions are ever called; a missing enumeration
// function does no harm.
void NoteMissing(std::string& text, const LibraryBinding& binding) {
    if (!binding.module) {
        text += std::string(binding.library) + " could not be loaded.\n";
    } else if (!Address(binding, binding.called)) {
        text += std::string(binding.called) + " was not found in " + binding.library + ".\n";
    }
}

}  // namespace

FARPROC Address(const LibraryBinding& binding, const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* variant : {"", "A"}) {
        for (int i = 0; i < LibraryBinding::MaxNames && binding.names[i]; ++i) {
            const char* bound = binding.names[i];
            if (std::strncmp(bound, name, length) == 0 && std::strcmp(bound + length, variant) == 0)
                return binding.addresses[i];
        }
    }
    return nullptr;
}

void BindDirectX() {
    Bind(DirectDraw);
    Bind(DirectSound);
}

std::string MissingDirectXText() {
    std::string text;
    NoteMissing(text, DirectDraw);
    NoteMissing(text, DirectSound);
    if (!text.empty()) text.pop_back();  // no line break after the last line
    return text;
}

void UnbindDirectX() {
    Unbind(DirectSound);
    Unbind(DirectDraw);
}
