// Bitmap resources of OrvixPlus that the skin toolkit's controls draw with
// (ProgramBitmaps.rc, drawn by the skin generator into res/ of the build).
#pragma once

#define IDB_CELL_BACK        129   // cell background (3, 3, 51, 16 used)
#define IDB_HEADER_RIGHT     131
#define IDB_HEADER_TILE      132
#define IDB_HEADER_LEFT      133
#define IDB_HOVER_PRESSED    134
#define IDB_CELL_FRAME       135   // 54 x 54, borders 3
#define IDB_HOVER_NORMAL     141
#define IDB_HOVER_HOT        142
#define IDB_SB_LEFT          151
#define IDB_SB_RIGHT         152
#define IDB_SB_HTRACK        153
#define IDB_SB_UP            154
#define IDB_SB_VTHUMB        155
#define IDB_SB_VTRACK        156
#define IDB_SB_DOWN          157
#define IDB_SB_CORNER        158   // also the vertical bar's bottom piece
#define IDB_SB_HTHUMB        159
// The settings window.
#define IDB_PAGE_BACK        144   // the panel's 440 x 440 background, selected tabs on top
#define IDB_TRACK_CHANNEL    145   // magenta transparent
#define IDB_TRACK_THUMB      146
#define IDB_TAB_STRIP        148   // the tabs at rest, magenta transparent
#define IDB_MOVE_BUTTONS     164   // 22 x 22 cells: rows top/up/down/bottom, columns the states
#define IDB_CONTROL_SHEET    165   // combo, label and group pieces (SettingsArt.h)
#define IDB_TOGGLE           166   // off 0..14, on 14..28
#define IDB_CHECK            167   // off 0..14, on 14..28
