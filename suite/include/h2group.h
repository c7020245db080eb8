/* File-group library: named groups of program files shared by the suite's tools. */
#ifndef H2GROUP_H
#define H2GROUP_H

#include "h2_common.h"

/* Size of a group name buffer, terminating zero included. */
#define H2GROUP_NAME 256

/* Registers a client (a tool) by name. Non-zero on success. */
H2_API int32_t H2GROUP_RegisterClient(H2HWND mainWindow, const char* client);
H2_API void H2GROUP_UnregisterClient(const char* client);
/* Reads the groups for the client. Non-zero on success (an absent group file is an empty set). */
H2_API int32_t H2GROUP_LoadGroups(const char* client);
/* Lets the user edit the groups; this implementation has no dialog and answers 0. */
H2_API int32_t H2GROUP_EditGroups(H2HWND mainWindow, const char* client);
/* Creates an empty group. Non-zero on success, 0 when it exists or the name is empty. */
H2_API int32_t H2GROUP_NewGroup(const char* group, const char* client);
/* Puts the file into the group (created when missing), taking it out of any other. Non-zero on success. */
H2_API int32_t H2GROUP_AddToGroup(const char* group, const char* path, const char* client);
/* Takes the file out of its group. Non-zero when it was in one. */
H2_API int32_t H2GROUP_RemoveFromGroup(const char* path, const char* client);
/* Non-zero when the file belongs to a group. */
H2_API int32_t H2GROUP_IsFileInGroup(const char* path, const char* client);
/* Copies the name of the file's group into buffer; non-zero when the file is in a group. */
H2_API int32_t H2GROUP_GetFileGroup(const char* path, const char* client, char* buffer, int32_t bufferSize);
/* Tells the library that a tool rewrote the file. Non-zero when the file is in a group. */
H2_API int32_t H2GROUP_FileChanged(H2HWND mainWindow, const char* path, const char* client);

#endif
