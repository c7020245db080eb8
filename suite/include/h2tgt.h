/* Target library: target types, program headers and the operations on a drive node. */
#ifndef H2TGT_H
#define H2TGT_H

#include "h2_common.h"

/* Sizes of the text fields of the header record, terminating zero included. */
#define H2_HDR_TEXT 1024
#define H2_HDR_DESCRIPTOR 4096

/* The node properties of a program, as exchanged between the editor and the target library. */
typedef struct _s_RuxHeaderInfo {
    char Author[H2_HDR_TEXT];
    char Company[H2_HDR_TEXT];
    char Title[H2_HDR_TEXT];
    char Version[H2_HDR_TEXT];
    char Drive[H2_HDR_TEXT];
    char Target[H2_HDR_TEXT];
    char Type[H2_HDR_TEXT];
    int32_t Address;
    int32_t Debug;
    int32_t Source;
    int32_t V3;
    char Name[H2_HDR_TEXT];
    char Group[H2_HDR_TEXT];
    int32_t PosHard;
    int32_t PosLink;
    int32_t OptionNumber;
    char Network[H2_HDR_TEXT];
    char Descriptor[H2_HDR_DESCRIPTOR]; /* LF line ends */
    int32_t H2Lite;
    int32_t FloatingPoint;
    int32_t ClipParam;
    char Library[H2_HDR_TEXT];
    char RefLibs[H2_HDR_TEXT];
    char OldLib[H2_HDR_TEXT];
    int32_t UserProgEnabled;
    char Reserved[H2_HDR_TEXT];
    int32_t Reserved1;
    int32_t Reserved2;
    int32_t Clonable;
} RUXHEADERINFO;

/* What the library knows of a target type. */
typedef struct _s_H2TypeInfo {
    int32_t cbSize;           /* set by the caller to sizeof(H2TYPEINFO) */
    int32_t ExtendedMemory;   /* non-zero: the type offers the extended memory of VQ7Z drives */
    int32_t LibrarySupport;   /* 1: the type can build libraries */
    int32_t CloneSupport;
    int32_t FixedPointParamOps;
    int32_t MaxTasks;
    char DisplayName[128];
} H2TYPEINFO;

/* Target type of a drive/option-module pair; empty when unknown. */
H2_API H2STATUS H2TGT_GetTypeFromDriveAndTarget(const char* drive, const char* target, char* type, int32_t typeSize);
/* Fills info (cbSize set by the caller); H2_ERR_NOT_FOUND for an unknown type. */
H2_API H2STATUS H2TGT_GetTypeInfos(const char* type, H2TYPEINFO* info);
/* Display name of a target type; an empty name when the type is unknown. */
H2_API H2STATUS H2TGT_GetTypeDisplayName(const char* type, char* name, int32_t nameSize);
/* Fills the record with the suite's view of the program's node; H2_ERR_NOT_FOUND when it has none. */
H2_API H2STATUS H2TGT_ReadHeader(const char* programPath, RUXHEADERINFO* header);
/* Stores the record as the suite's view of the program's node. */
H2_API H2STATUS H2TGT_UpdateHeader(const char* programPath, const RUXHEADERINFO* header);
/* 1 when the type can build libraries; 0 otherwise or for an unknown type. */
H2_API int32_t H2TGT_GetLibrarySupport(const char* type);
/* Non-zero when the type lets a user program be cloned to another device. */
H2_API int32_t H2TGT_GetCloneSupport(const char* type);
/* Non-zero when the type offers fixed-point parameter operations. */
H2_API int32_t H2TGT_GetFixedPointParamOpsSupport(const char* type);
/* 1 when the program file belongs to the light edition. */
H2_API int32_t H2TGT_IsValidHalmLiteFile(const char* programPath);

/* Operations on a drive node. A node address is the text that names the drive on the network. Every
   status is 0 on success; H2_ERR_NO_COMMUNICATION when the node cannot be reached. */

/* Downloads a compiled program (the program path with ".bin") to the node. mode: 0 from the editor.
   outValue, when not NULL, receives a detail of the failure. H2_ERR_ABANDONED: the user cancelled. */
H2_API H2STATUS H2TGT_Download(H2HWND mainWindow, int32_t mode, const char* type, const char* node,
                               const char* compiledPath, int32_t* outValue);
/* Uploads the program embedded in the node into programPath (mode: 1 from the editor). 0: the file
   now holds the uploaded program. */
H2_API H2STATUS H2TGT_Upload(H2HWND mainWindow, int32_t mode, const char* type, const char* node,
                             const char* programPath);
/* Starts the numbered operation on the node for the client; answers arrive through the client. */
H2_API H2STATUS H2TGT_ExecuteCommand(H2CLIENT client, const char* node, int32_t command);
/* Non-zero when the node's user program is stopped. */
H2_API int32_t H2TGT_IsNodeStopped(const char* node);
/* Program control; done when they return. */
H2_API H2STATUS H2TGT_Run(const char* node);
H2_API H2STATUS H2TGT_Stop(const char* node);
H2_API H2STATUS H2TGT_Pause(const char* node);
H2_API H2STATUS H2TGT_Resume(const char* node);
H2_API H2STATUS H2TGT_ResetProgram(const char* node);
H2_API H2STATUS H2TGT_ResetDrive(const char* node);
/* Single stepping of one task; taskId is the id the task manager passes (task id plus 1). */
H2_API H2STATUS H2TGT_StepTask(H2CLIENT client, const char* node, int32_t taskId);
H2_API H2STATUS H2TGT_StepOnTask(H2CLIENT client, const char* node, int32_t taskId);
H2_API H2STATUS H2TGT_StepOffTask(H2CLIENT client, const char* node, int32_t taskId);
/* Id of a task of the target type (names compared without case); -1 when the type has no such task. */
H2_API int32_t H2TGT_GetTaskIDFromTaskName(const char* type, const char* taskName);
/* Name of a task id of the target type; an empty name and H2_ERR_NOT_FOUND when there is none. */
H2_API H2STATUS H2TGT_GetTaskNameFromTaskID(const char* type, int32_t taskId, char* name, int32_t nameSize);

#endif
