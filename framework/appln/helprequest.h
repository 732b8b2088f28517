#pragma once

// What a help request (WM_HELPREQUEST) asks for. A module window shows it through its module's
// help, a frame through the program's main help; both read the request alike.

struct HELPINFO;

enum class HELPSHOW {
    NOTHING,
    OWN, // the topic in the module's own help window
    POPUP, // the topic as a popup over the active window
};

// The topic into id: the request's context id when it carries a HELPINFO, with the low 16 bits of
// a window's id cleared. OWN for no HELPINFO, a topic 0 or a module's context; NOTHING when a
// window's id leaves no topic.
HELPSHOW readhelprequest(unsigned long& id, const HELPINFO* help);
