// Everything the programs include for the framework: Win32, the common
// controls, the core classes (strings, collections, time, geometry) and the
// window classes.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "AfxCore.h"
#include "Seams.h"
#include "AfxState.h"
#include "CmdTarget.h"
#include "WinApp.h"
#include "Wnd.h"
#include "Dialog.h"
#include "DataExchange.h"
#include "GdiObject.h"
#include "Dc.h"
#include "ImageList.h"
#include "Menu.h"
#include "Button.h"
#include "Static.h"
#include "Edit.h"
#include "ComboBox.h"
#include "ScrollBar.h"
#include "HeaderCtrl.h"
#include "ListCtrl.h"
#include "ToolTipCtrl.h"
#include "ProgressCtrl.h"
#include "SliderCtrl.h"
