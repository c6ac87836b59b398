// Ids of the skin's PNG resources. Plain macros: the resource compiler reads this file too.
// These are the 1x pictures; the windows draw every other scale with the skin library.
#pragma once

#define IDB_BACKGROUND 128
#define IDB_KNOB_DRIVE 129
#define IDB_KNOB_TONE 130
#define IDB_KNOB_LEVEL 131
#define IDB_BYPASS 132
#define IDB_ABOUT 133
