/* Resource numbers of kestrovan99.exe, shared by kestrovan99.rc and the program's code. */
#ifndef KESTROVAN99_RESOURCE_IDS_H
#define KESTROVAN99_RESOURCE_IDS_H

#define IDI_PROGRAM 1
/* Each banner at 100, 125, 150 and 200 percent: four numbers from its first. */
#define IDB_OPTIONS_BANNER 101
#define IDB_ABOUT_BANNER 111

#endif
