#include "core/containers/dlist.h"

#include <utility>

namespace {
thread_local DLINK_BASE standby;
} // namespace

int DLIST_BASE::count() const
{
    int n = 0;
    for (const DLINK_BASE* node = head; node; node = node->next)
        ++n;
    return n;
}

void DLIST_BASE::addtohead(DLINK_BASE* node)
{
    addbefore(node, head);
}

void DLIST_BASE::addtotail(DLINK_BASE* node)
{
    node->prev = tail;
    node->next = nullptr;
    if (tail)
        tail->next = node;
    else
        head = node;
    tail = node;
}

void DLIST_BASE::addbefore(DLINK_BASE* node, DLINK_BASE* before)
{
    if (!before) {
        addtotail(node);
        return;
    }
    node->next = before;
    node->prev = before->prev;
    if (before->prev)
        before->prev->next = node;
    else
        head = node;
    before->prev = node;
}

void DLIST_BASE::remove(DLINK_BASE* node)
{
    if (head == node)
        head = node->next;
    if (tail == node)
        tail = node->prev;
    if (node->prev)
        node->prev->next = node->next;
    if (node->next)
        node->next->prev = node->prev;
}

void DLIST_BASE::remove(DLINK_BASE** pnode)
{
    DLINK_BASE* node = *pnode;
    if (!node)
        return;
    remove(node);
    standby.next = node->next;
    standby.prev = node->prev;
    *pnode = &standby;
}

void DLIST_BASE::reverse()
{
    for (DLINK_BASE* node = head; node; node = node->prev)
        std::swap(node->next, node->prev);
    std::swap(head, tail);
}
