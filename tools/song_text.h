#pragma once
// A song image as readable text: header, order list, the tracks the order
// list plays (note names, durations in units), the instruments and programs
// they use. The image must have passed LoadSongLayout.
#include <string>

#include "synth/dxvornik.h"

// "C-4" style, note 60 being A-4 at 440 Hz; octaves below 0 as "A#-1".
std::string NoteName(int note);

std::string DescribeSong(const Synth& synth);
