// Resource ids of OrvixPlus.
#pragma once

#define IDD_ORVIXPLUS_DIALOG 102
#define IDI_ORVIXPLUS 163
