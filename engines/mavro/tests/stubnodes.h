#pragma once

#include "engines/mavro/mavro.h"
#include "engines/mavro/token.h"

#include <deque>
#include <string>

// The nodes of a stand-in engine behind the parser's descriptor. Like an engine it copies every name
// it keeps, and finds a name by exact spelling first, then the earliest made without regard to case.
class StubNodes {
public:
    IFnode* make(IFuid name, int32_t number)
    {
        Node& node = nodes.emplace_back();
        node.text = name ? name : "0";
        node.name = node.text.c_str();
        node.number = number;
        return &node;
    }

    IFnode* find(IFuid name)
    {
        if (!name)
            return nullptr;
        for (Node& node : nodes) {
            if (node.text == name)
                return &node;
        }
        for (Node& node : nodes) {
            if (mavro::sameletters(node.text, name))
                return &node;
        }
        return nullptr;
    }

    std::size_t size() const { return nodes.size(); }
    void clear() { nodes.clear(); }

private:
    struct Node : IFnode {
        std::string text;
    };
    std::deque<Node> nodes;
};
