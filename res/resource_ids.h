/* Resource numbers of kestrovan99.exe, shared by kestrovan99.rc and the program's code. */
#ifndef KESTROVAN99_RESOURCE_IDS_H
#define KESTROVAN99_RESOURCE_IDS_H

#define IDI_PROGRAM 1
#define IDB_OPTIONS_BANNER 101
#define IDB_ABOUT_BANNER 102

#endif
