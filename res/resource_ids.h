/* Resource numbers of kestrovan99.exe, shared by kestrovan99.rc and the program's code. */
#ifndef KESTROVAN99_RESOURCE_IDS_H
#define KESTROVAN99_RESOURCE_IDS_H

#define IDI_PROGRAM 1

#endif
