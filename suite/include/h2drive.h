/* Direct requests to a drive node, shared by the target and loader libraries with the
   communications library that owns the connection to the drive. */
#ifndef H2DRIVE_H
#define H2DRIVE_H

#include "h2_common.h"

/* Sends request (one of the drive protocol's request types) with its arguments (the request's
   fields after the node address, target type and client) and waits for its result, at most
   timeoutMs. detail, when not NULL, receives a buffer the caller frees with H2_FreeDetail, and
   detailSize its length. Answers the request produced are dropped. H2_ERR_NO_COMMUNICATION when
   the drive cannot be reached or does not answer in time. */
H2_API H2STATUS H2_NodeCall(const char* node, const char* type, int32_t request, const void* args, int32_t argsSize,
                            char** detail, int32_t* detailSize, int32_t timeoutMs);
/* As H2_NodeCall for a client: the answers go to the client's queue. */
H2_API H2STATUS H2_NodeClientCall(H2CLIENT client, const char* node, const char* type, int32_t request,
                                  const void* args, int32_t argsSize, int32_t timeoutMs);
H2_API void H2_FreeDetail(char* detail);

#endif
