// DirectSound's descriptions of its result codes, as the program shows them
// for a failed sound call; "Unrecognized Error" for any code not in the table.
// Single-byte Windows-1252 text: the out-of-memory text has the acute accent
// (0xB4) between "caller" and "s", not an apostrophe.
#include <cstdint>

#include "shell/sound_platform.h"

namespace {

struct SoundErrorEntry {
    std::uint32_t code;
    const char* text;
};

constexpr SoundErrorEntry SoundErrorTable[] = {
    {0x00000000, "The request completed successfully."},
    {0x8878000A, "The request failed because resources, such as a priority level, were already in use by "
                 "another caller."},
    {0x8878001E, "The control (volume, pan, and so forth) requested by the caller is not available."},
    {0x80070057, "An invalid parameter was passed to the returning function."},
    {0x88780032, "This function is not valid for the current state of this object."},
    {0x80004005, "An undetermined error occurred inside the DirectSound subsystem."},
    {0x88780046, "The caller does not have the priority level required for the function to succeed."},
    {0x8007000E,
     "The DirectSound subsystem could not allocate sufficient memory to complete the caller\xB4s request."},
    {0x88780064, "The specified wave format is not supported."},
    {0x80004001, "The function called is not supported at this time."},
    {0x88780078, "No sound driver is available for use."},
    {0x88780082, "The object is already initialized."},
    {0x80040110, "The object does not support aggregation."},
    {0x88780096, "The buffer memory has been lost and must be restored."},
    {0x887800A0, "Another application has a higher priority level, preventing this call from succeeding."},
    {0x887800AA, "The IDirectSound::Initialize method has not been called or has not been called "
                 "successfully before other methods were called."},
    {0x80004002, "The requested COM interface is not available."},
    {0x80070005, "Access is denied."},
    {0x887800B4, "Tried to create a DSBCAPS_CTRLFX buffer shorter than DSBSIZE_FX_MIN milliseconds."},
    {0x887800BE, "Attempt to use DirectSound 8 functionality on an older DirectSound object."},
    {0x887800C8, "A circular loop of send effects was detected."},
    {0x887800D2, "The GUID specified in an audiopath file does not match a valid MIXIN buffer."},
    {0x88781161, "The object requested was not found (numerically equal to DMUS_E_NOT_FOUND)."},
    {0x887800DC, "The effects requested could not be found on the system, or they were found but in the "
                 "wrong order, or in the wrong hardware/software locations."},
};

constexpr const char* UnrecognizedSoundError = "Unrecognized Error";

}  // namespace

const char* SoundFailureText(SoundResult code) {
    const auto key = static_cast<std::uint32_t>(code);
    for (const SoundErrorEntry& entry : SoundErrorTable) {
        if (entry.code == key) return entry.text;
    }
    return UnrecognizedSoundError;
}
