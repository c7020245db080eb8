/* A hook-menu library for the shell tests: three items with their own ids, and a record of the last
   call so a test can check what the editor passed. Built twice: complete, and (with
   TEST_HOOK_INCOMPLETE) without its update entry, to show that a partial library is dropped. */
#include "shell/hook_menu_api.h"

#include <string.h>

#define EXPORT __attribute__((visibility("default")))

static const int kIds[] = {101, 205, 309};
static const char* const kTexts[] = {"Compare with drive", "Export symbols", "Open in viewer"};
static const int kSelModes[] = {0, 1, 2};

static char g_context[256];
static int g_mode = -1;
static int g_command = -1;
static int g_hook = -1;
static int g_reserved1 = -1;
static int g_reserved2 = -1;
static char g_text[256];
static int g_executed;

static int Index(int hookId) {
    for (int i = 0; i < 3; ++i)
        if (kIds[i] == hookId) return i;
    return -1;
}

static void Remember(const char* context, int mode) {
    strncpy(g_context, context ? context : "(null)", sizeof g_context - 1);
    g_mode = mode;
}

/* The context text "many" asks for more items than the editor can route. */
EXPORT int HALMHOOK_MenuGetNb(const char* context, int mode) {
    Remember(context, mode);
    return (context && strcmp(context, "many") == 0) ? 150 : 3;
}

EXPORT int HALMHOOK_MenuGetIds(const char* context, int mode, int* ids, int count) {
    Remember(context, mode);
    for (int i = 0; i < count; ++i)
        ids[i] = i < 3 ? kIds[i] : 1000 + i;
    return count;
}

EXPORT int HALMHOOK_MenuGetString(const char* context, int mode, int hookId, char* buffer, int size) {
    Remember(context, mode);
    int i = Index(hookId);
    if (i < 0) {
        /* Fill the whole buffer without a terminator, as a careless library might. */
        memset(buffer, 'x', (size_t)size);
        return size;
    }
    strncpy(buffer, kTexts[i], (size_t)size - 1);
    buffer[size - 1] = '\0';
    return (int)strlen(buffer);
}

EXPORT int HALMHOOK_MenuGetSelMode(const char* context, int mode, int hookId) {
    Remember(context, mode);
    int i = Index(hookId);
    return i < 0 ? 0 : kSelModes[i];
}

EXPORT int HALMHOOK_MenuExecute(const char* context, int mode, int commandId, int hookId, int reserved1,
                                const char* text, int reserved2) {
    Remember(context, mode);
    g_command = commandId;
    g_hook = hookId;
    g_reserved1 = reserved1;
    g_reserved2 = reserved2;
    strncpy(g_text, text ? text : "(null)", sizeof g_text - 1);
    ++g_executed;
    return 1;
}

#ifndef TEST_HOOK_INCOMPLETE
/* "Export symbols" is disabled. */
EXPORT int HALMHOOK_MenuUpdate(const char* context, int mode, int commandId, int hookId, int reserved1,
                               const char* text, int reserved2) {
    Remember(context, mode);
    (void)commandId;
    (void)reserved1;
    (void)text;
    (void)reserved2;
    return hookId != 205;
}
#endif

/* For the tests only: what the last Execute received. */
EXPORT void TestHook_LastExecute(int* executed, int* mode, int* command, int* hook, int* reserved1,
                                 int* reserved2, const char** context, const char** text) {
    *executed = g_executed;
    *mode = g_mode;
    *command = g_command;
    *hook = g_hook;
    *reserved1 = g_reserved1;
    *reserved2 = g_reserved2;
    *context = g_context;
    *text = g_text;
}
