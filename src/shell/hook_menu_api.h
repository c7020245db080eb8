/* The entry points a hook-menu library exports; plain C so that any tool can provide one. */
#ifndef RUX_HOOK_MENU_API_H
#define RUX_HOOK_MENU_API_H

#ifdef __cplusplus
extern "C" {
#endif

/* Number of menu items the library offers for a context text and mode. */
typedef int (*HALMHOOK_MenuGetNb_t)(const char* context, int mode);
/* Fills ids[0..count-1] with the library's own id of each item. */
typedef int (*HALMHOOK_MenuGetIds_t)(const char* context, int mode, int* ids, int count);
/* Copies the item's text into buffer (size bytes, terminator included). */
typedef int (*HALMHOOK_MenuGetString_t)(const char* context, int mode, int hookId, char* buffer, int size);
/* The selection mode under which the item is offered; 0 offers it everywhere. */
typedef int (*HALMHOOK_MenuGetSelMode_t)(const char* context, int mode, int hookId);
/* Runs the item. */
typedef int (*HALMHOOK_MenuExecute_t)(const char* context, int mode, int commandId, int hookId, int reserved1,
                                      const char* text, int reserved2);
/* Non-zero when the item is enabled; same arguments as Execute. */
typedef int (*HALMHOOK_MenuUpdate_t)(const char* context, int mode, int commandId, int hookId, int reserved1,
                                     const char* text, int reserved2);

#ifdef __cplusplus
}
#endif

#endif
