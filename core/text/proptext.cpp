#include "core/text/proptext.h"

#include <cstring>

PROPTEXT::PROPTEXT(const char* s)
    : TEXT(s)
    , defsection {}
{
}

PROPTEXT::PROPTEXT(const PROPTEXT& other)
    : TEXT(other)
{
    std::memcpy(defsection, other.defsection, sizeof defsection);
}

PROPTEXT& PROPTEXT::operator=(const PROPTEXT& other)
{
    TEXT::operator=(other);
    std::memmove(defsection, other.defsection, sizeof defsection);
    return *this;
}
