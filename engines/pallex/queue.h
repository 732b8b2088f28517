#pragma once

#include <cstdint>
#include <vector>

// The event queue: a 4-ary min-heap of 16-byte entries ordered by time in picoseconds. Entries of
// equal time leave in an order fixed by the pushes alone, so a run repeats exactly. The storage only
// grows, so a run allocates nothing per event once the queue has reached its working size.
namespace pallex {

struct Event {
    int64_t time;
    uint32_t target;  // what happens; the engine's encoding
    uint32_t tag;     // the target's generation when scheduled, to drop superseded entries
};

class EventQueue {
public:
    bool empty() const { return heap.empty(); }
    std::size_t size() const { return heap.size(); }
    // The earliest entry; the queue must not be empty.
    const Event& top() const { return heap.front(); }
    void clear() { heap.clear(); }

    void push(const Event& event)
    {
        std::size_t at = heap.size();
        heap.push_back(event);
        while (at > 0) {
            std::size_t parent = (at - 1) / 4;
            if (heap[parent].time <= event.time)
                break;
            heap[at] = heap[parent];
            at = parent;
        }
        heap[at] = event;
    }

    // Removes the earliest entry; the queue must not be empty.
    void pop()
    {
        Event last = heap.back();
        heap.pop_back();
        std::size_t count = heap.size();
        if (count == 0)
            return;
        std::size_t at = 0;
        for (;;) {
            std::size_t first = at * 4 + 1;
            if (first >= count)
                break;
            std::size_t best = first;
            std::size_t end = first + 4 < count ? first + 4 : count;
            for (std::size_t child = first + 1; child < end; ++child) {
                if (heap[child].time < heap[best].time)
                    best = child;
            }
            if (heap[best].time >= last.time)
                break;
            heap[at] = heap[best];
            at = best;
        }
        heap[at] = last;
    }

private:
    std::vector<Event> heap;
};

}  // namespace pallex
