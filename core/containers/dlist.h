#pragma once

// Intrusive doubly linked list: a listed object derives from DLINK_BASE, so linking allocates
// nothing. The list never owns its nodes; no operation here frees one.
struct DLINK_BASE {
    DLINK_BASE* next = nullptr; // null at the tail
    DLINK_BASE* prev = nullptr; // null at the head
};

class DLIST_BASE {
public:
    // Number of nodes, following next from the head; 0 when empty.
    int count() const;
    void addtohead(DLINK_BASE* node);
    void addtotail(DLINK_BASE* node);
    // Inserts node in front of before; a null before appends.
    void addbefore(DLINK_BASE* node, DLINK_BASE* before);
    // Unlinks node from this list; the node's own links are left as they were.
    void remove(DLINK_BASE* node);
    // Unlinks *pnode (nothing when null) and points *pnode at a stand-by node carrying the removed
    // node's links, so a loop walking by next that removes the node it stands on carries on with
    // its successor. The stand-by node is one per thread and reused by the next such call.
    void remove(DLINK_BASE** pnode);
    // Swaps next and prev in every node and swaps head and tail.
    void reverse();

    DLINK_BASE* head = nullptr;
    DLINK_BASE* tail = nullptr;
};
