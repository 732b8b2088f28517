#pragma once

// The security calls with which a registry key is shared: security identifiers and access lists
// are built as the system lays them out, and applying an access list to a registry key succeeds
// and changes nothing, since the file-backed hives have no per-key permissions.

#include <cstddef>

#include "platform/win/types.h"

using PSID = void*;

struct SID_IDENTIFIER_AUTHORITY {
    BYTE Value[6];
};

struct ACL {
    BYTE AclRevision;
    BYTE Sbz1;
    WORD AclSize;
    WORD AceCount;
    WORD Sbz2;
};

enum SE_OBJECT_TYPE { SE_UNKNOWN_OBJECT_TYPE = 0, SE_FILE_OBJECT = 1, SE_REGISTRY_KEY = 4 };

constexpr DWORD ACL_REVISION = 2;
constexpr DWORD ACL_REVISION_DS = 4;
constexpr DWORD OBJECT_INHERIT_ACE = 0x1;
constexpr DWORD CONTAINER_INHERIT_ACE = 0x2;
constexpr DWORD DACL_SECURITY_INFORMATION = 0x4;
constexpr DWORD SECURITY_BUILTIN_DOMAIN_RID = 32;
constexpr DWORD DOMAIN_ALIAS_RID_USERS = 545;
constexpr SID_IDENTIFIER_AUTHORITY SECURITY_NT_AUTHORITY = { { 0, 0, 0, 0, 0, 5 } };
constexpr UINT LMEM_ZEROINIT = 0x40;

// Builds a SID of count (at most 8) sub-authorities on the heap; FALSE when count is out of range.
BOOL AllocateAndInitializeSid(const SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD a0, DWORD a1,
    DWORD a2, DWORD a3, DWORD a4, DWORD a5, DWORD a6, DWORD a7, PSID* sid);
void* FreeSid(PSID sid);
DWORD GetLengthSid(PSID sid);

void* LocalAlloc(UINT flags, size_t size);
void* LocalFree(void* memory);

// Sets up an empty access list of size bytes; FALSE when size cannot hold its header.
BOOL InitializeAcl(ACL* acl, DWORD size, DWORD revision);
// Appends an access-allowed entry; FALSE when the list has no room left for it.
BOOL AddAccessAllowedAceEx(ACL* acl, DWORD revision, DWORD flags, DWORD mask, PSID sid);
// ERROR_SUCCESS for a registry key (nothing to change); ERROR_INVALID_PARAMETER for other objects.
DWORD SetSecurityInfo(
    HANDLE object, SE_OBJECT_TYPE type, DWORD information, PSID owner, PSID group, ACL* dacl, ACL* sacl);
