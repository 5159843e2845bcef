/*
 * kvhook.dll: loaded by kvprobe into the process that shows a popup menu.
 *
 * Menu handles can only be read inside the process that made them (Wine
 * refuses GetMenuItemInfo from any other process), so kvprobe starts a thread
 * in that process which runs kvhook_menu on a request block that kvprobe
 * allocated there, and reads the block back when the thread ends.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "kvhook.h"

__declspec(dllexport) DWORD WINAPI kvhook_menu(LPVOID param)
{
    struct kvhook_menu_request *req = (struct kvhook_menu_request *)param;
    HMENU menu = (HMENU)(ULONG_PTR)req->hmenu;
    int n = GetMenuItemCount(menu);
    req->count = n;
    if (n < 0)
        return 1;
    if (n > KVHOOK_MAX_ITEMS)
        n = KVHOOK_MAX_ITEMS;
    for (int i = 0; i < n; ++i) {
        struct kvhook_menu_item *item = &req->items[i];
        MENUITEMINFOW mi;
        RECT r;
        ZeroMemory(&mi, sizeof mi);
        ZeroMemory(item, sizeof *item);
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        mi.dwTypeData = item->text;
        mi.cch = KVHOOK_TEXT_CHARS - 1;
        item->ok = GetMenuItemInfoW(menu, (UINT)i, TRUE, &mi) ? 1 : 0;
        item->text[KVHOOK_TEXT_CHARS - 1] = 0;
        item->id = mi.wID;
        item->type = mi.fType;
        item->state = mi.fState;
        item->submenu = (DWORD)(ULONG_PTR)mi.hSubMenu;
        if (GetMenuItemRect(NULL, menu, (UINT)i, &r)) {
            item->left = r.left;
            item->top = r.top;
            item->right = r.right;
            item->bottom = r.bottom;
        }
    }
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
