/* Resource numbers of kestrovan99.exe, shared by kestrovan99.rc and the program's code. */
#ifndef KESTROVAN99_RESOURCE_IDS_H
#define KESTROVAN99_RESOURCE_IDS_H

#define IDI_PROGRAM 1
/* The manifest of the themed controls, which the program activates around the windows that use them:
   3, a number the loader leaves alone (it applies 1 to a program, 2 to a DLL). */
#define IDM_COMMON_CONTROLS 3

#endif
