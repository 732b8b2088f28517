#pragma once

// Every command of the program's own tables, carried out as a key or button sends it to the frame,
// with what a user then sees of it: the probe's "commands" step.

#include <functional>
#include <string>
#include <vector>

class APPLNPROCESS;

// One line per command: "ID ENABLED OUTCOME", ID in hexadecimal, OUTCOME what changed ("box:TEXT",
// "dialog:TITLE", "url:PATH", "windows:N", "path:FILE", "quit"; several separated by " | ",
// "none" for nothing). Exit comes last. boxesshown counts the message boxes shown so far, boxtext
// gives the i-th.
std::vector<std::string> walkcommands(APPLNPROCESS* process, const std::function<size_t()>& boxesshown,
    const std::function<std::string(size_t)>& boxtext);
