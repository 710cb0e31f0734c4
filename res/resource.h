// Resource identifiers shared by the resource script and the Win32 code.
#pragma once

#define IDI_MANAGER 101
#define IDI_TRAY 102
#define IDI_INSTALLAS 103
#define IDI_MONITOR 104
