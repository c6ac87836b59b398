// Ids of the skin's PNG resources. Plain macros: the resource compiler reads this file too.
// Every picture comes in three sets, drawn for 1x, 1.5x and 2x: a set's id is the 1x id plus
// the set's offset.
#pragma once

#define IDB_SET_150_OFFSET 100
#define IDB_SET_200_OFFSET 200

#define IDB_BACKGROUND 128
#define IDB_KNOB_DRIVE 129
#define IDB_KNOB_TONE 130
#define IDB_KNOB_LEVEL 131
#define IDB_BYPASS 132
#define IDB_ABOUT 133

#define IDB_BACKGROUND_150 228
#define IDB_KNOB_DRIVE_150 229
#define IDB_KNOB_TONE_150 230
#define IDB_KNOB_LEVEL_150 231
#define IDB_BYPASS_150 232
#define IDB_ABOUT_150 233

#define IDB_BACKGROUND_200 328
#define IDB_KNOB_DRIVE_200 329
#define IDB_KNOB_TONE_200 330
#define IDB_KNOB_LEVEL_200 331
#define IDB_BYPASS_200 332
#define IDB_ABOUT_200 333
