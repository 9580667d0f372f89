// Where the settings pages' control images lie in the program's bitmaps
// (drawn by skins/skinlib/program.py, which holds the same rectangles).
#pragma once
#include <windows.h>
#include "ProgramBitmaps.h"

namespace settingsart {

const COLORREF kPanelColour = 0xEAF0F4;
const COLORREF kMagenta = RGB(255, 0, 255);

// IDB_CONTROL_SHEET
const RECT kComboButton[4] = {{0, 0, 18, 20}, {18, 0, 36, 20}, {36, 0, 54, 20}, {54, 0, 72, 20}};
const RECT kComboFrameFocus = {72, 0, 92, 20};
const RECT kComboFrame = {92, 0, 112, 20};
const RECT kComboSelection = {112, 0, 132, 20};
const RECT kLabelFrame = {132, 0, 152, 20};
const RECT kGroupFrame = {152, 0, 182, 30};
const RECT kGroupCaption = {182, 0, 212, 20};
const RECT kOneBorder = {1, 1, 1, 1};

// IDB_TOGGLE, IDB_CHECK
const RECT kStateOff = {0, 0, 14, 14};
const RECT kStateOn = {14, 0, 28, 14};

// IDB_CELL_FRAME: the page frame's image and its margins.
const int kFrameBorder = 3;

// IDB_MOVE_BUTTONS: 22 x 22 cells.
const int kMoveCell = 22;

}  // namespace settingsart
