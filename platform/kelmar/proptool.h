#pragma once

// The property assignment tool: the user arms it with an assignment and an action, then applies
// it to objects one after another (clicking them, or to a scope of objects at once).
//
// Grammar of an assignment:
//   set (PA_SET):                       NAME=VALUE
//   delete, show, hide (the others):    NAME
// NAME is a property name (compared without regard to case; blanks around it are dropped), VALUE
// any text. In VALUE a '#' stands for the count, which starts at the first count given and moves
// by the step after every value taken (nextvalue), so that "REF=R#" gives R1, R2, R3 ...;
// "##" stands for one '#'. A value without '#' is the same for every object.
// Callers: the schematic's property assignment command and the objects' assign (TAVI); labels and
// text blocks (kelmar).

#include <cstdint>
#include <string>

// The actions of the tool (2 is not one of them).
enum PATACTIONS : int { PA_SET = 0, PA_DELETE = 1, PA_SHOW = 3, PA_HIDE = 4 };

// Where the schematic applies the tool.
enum PATSCOPES : int {
    PS_CLICK = 0, // to each object the user clicks
    PS_TAGGED = 1, // to the tagged objects of the sheet
    PS_TAGGEDALL = 2, // to the tagged objects of every sheet
    PS_ALL = 3, // to every object of every sheet
};

class PROPTOOL {
public:
    // What is wrong with the assignment for the action; null when it is right.
    static const char* check(const char* assignment, PATACTIONS action);
    // Arms the tool; 0, the tool as it was, when check finds the assignment wrong.
    int define(const char* assignment, PATACTIONS action, int first = 1, int step = 1);
    // Disarms the tool; the last assignment stays for the next edit.
    void reset() { armed = false; }
    int isarmed() const { return armed; }

    // 1 when the tool is armed for that action on a property of that name.
    int test(PATACTIONS action, const char* name) const;
    // The next value to set: the value with its count put in; the count moves on. Valid until
    // the next call.
    const char* nextvalue();

    const char* getassignment() const { return assignment.c_str(); }
    const char* getname() const { return name.c_str(); }
    PATACTIONS getaction() const { return action; }
    int64_t getcount() const { return count; }
    int getstep() const { return step; }

    // The tool's dialog (the dialogs library): edits the assignment, the action, the count and
    // the scope (in and out). 1 when confirmed and armed, 0 when cancelled.
    int edit(int* scope);

private:
    std::string assignment;
    std::string name;
    std::string value;
    std::string next;
    PATACTIONS action = PA_SET;
    int64_t count = 1;
    int step = 1;
    bool armed = false;
};
