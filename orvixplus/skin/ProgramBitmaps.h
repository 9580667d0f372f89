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
