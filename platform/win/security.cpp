#include "platform/win/security.h"

#include <cstdlib>
#include <cstring>

#include "platform/win/winerror.h"

namespace {

constexpr BYTE sidRevision = 1;
constexpr BYTE accessAllowedAceType = 0;
constexpr size_t aclHeaderSize = sizeof(ACL);
constexpr size_t aceHeaderSize = 8; // type, flags, size, mask

struct SidHeader {
    BYTE Revision;
    BYTE SubAuthorityCount;
    SID_IDENTIFIER_AUTHORITY IdentifierAuthority;
};

} // namespace

BOOL AllocateAndInitializeSid(const SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD a0, DWORD a1,
    DWORD a2, DWORD a3, DWORD a4, DWORD a5, DWORD a6, DWORD a7, PSID* sid)
{
    if (!authority || !sid || count < 1 || count > 8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD rids[8] = { a0, a1, a2, a3, a4, a5, a6, a7 };
    auto* bytes = static_cast<BYTE*>(calloc(1, sizeof(SidHeader) + 4u * count));
    if (!bytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    SidHeader head { sidRevision, count, *authority };
    memcpy(bytes, &head, sizeof head);
    memcpy(bytes + sizeof head, rids, 4u * count);
    *sid = bytes;
    return TRUE;
}

void* FreeSid(PSID sid)
{
    free(sid);
    return nullptr;
}

DWORD GetLengthSid(PSID sid)
{
    if (!sid)
        return 0;
    return static_cast<DWORD>(sizeof(SidHeader) + 4u * static_cast<const BYTE*>(sid)[1]);
}

void* LocalAlloc(UINT flags, size_t size)
{
    return flags & LMEM_ZEROINIT ? calloc(1, size) : malloc(size);
}

void* LocalFree(void* memory)
{
    free(memory);
    return nullptr;
}

BOOL InitializeAcl(ACL* acl, DWORD size, DWORD revision)
{
    if (!acl || size < aclHeaderSize || size > 0xffff) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *acl = ACL { static_cast<BYTE>(revision), 0, static_cast<WORD>(size), 0, 0 };
    return TRUE;
}

BOOL AddAccessAllowedAceEx(ACL* acl, DWORD revision, DWORD flags, DWORD mask, PSID sid)
{
    if (!acl || !sid)
        return FALSE;
    auto* start = reinterpret_cast<BYTE*>(acl);
    size_t used = aclHeaderSize;
    for (WORD i = 0; i < acl->AceCount; ++i)
        used += static_cast<size_t>(start[used + 2] | start[used + 3] << 8);
    size_t length = aceHeaderSize + GetLengthSid(sid);
    if (used + length > acl->AclSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    BYTE* ace = start + used;
    ace[0] = accessAllowedAceType;
    ace[1] = static_cast<BYTE>(flags);
    ace[2] = static_cast<BYTE>(length);
    ace[3] = static_cast<BYTE>(length >> 8);
    memcpy(ace + 4, &mask, 4);
    memcpy(ace + aceHeaderSize, sid, GetLengthSid(sid));
    ++acl->AceCount;
    if (revision > acl->AclRevision)
        acl->AclRevision = static_cast<BYTE>(revision);
    return TRUE;
}

DWORD SetSecurityInfo(HANDLE object, SE_OBJECT_TYPE type, DWORD, PSID, PSID, ACL*, ACL*)
{
    return object && type == SE_REGISTRY_KEY ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}
