#pragma once

// Intrusive singly linked list used as a queue or a stack: a listed object derives from
// SLINK_BASE. The list never owns its nodes.
struct SLINK_BASE {
    SLINK_BASE* next = nullptr; // null at the tail
};

class SLIST_BASE {
public:
    void append(SLINK_BASE* node); // adds at the tail
    void insert(SLINK_BASE* node); // adds at the head
    // The head, unlinked; null when the list is empty.
    SLINK_BASE* get();

    SLINK_BASE* head = nullptr;
    SLINK_BASE* tail = nullptr;
};
