#include "core/containers/slist.h"

void SLIST_BASE::append(SLINK_BASE* node)
{
    node->next = nullptr;
    if (tail)
        tail->next = node;
    else
        head = node;
    tail = node;
}

void SLIST_BASE::insert(SLINK_BASE* node)
{
    node->next = head;
    head = node;
    if (!tail)
        tail = node;
}

SLINK_BASE* SLIST_BASE::get()
{
    SLINK_BASE* node = head;
    if (!node)
        return nullptr;
    head = node->next;
    if (!head)
        tail = nullptr;
    node->next = nullptr;
    return node;
}
