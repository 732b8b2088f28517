#pragma once

// The object behind an item of a menu bar: it knows the command target of the item, so that a
// chosen item reaches the right module with that module's context current, and asks the target
// for the item's state before its popup opens. The native item's data points to its object.
// Toggles show (and may flip) an integer flag of the owner; a group is a run of up to 16 items of
// which one is checked, the one whose value the owner's selection holds.

#include <cstdint>

#include "framework/context/interfaces.h"
#include "platform/win/handletypes.h"

class MENUITEM {
public:
    MENUITEM(HMENU menu, int position, ICMDTARGET* target, uint16_t flags = 0);
    MENUITEM(const MENUITEM&) = delete;
    MENUITEM& operator=(const MENUITEM&) = delete;
    virtual ~MENUITEM() = default;

    // Enables or greys, checks or unchecks the item as its target reports.
    virtual void init();
    // The command to send when the item at position is chosen; 0 when it is not this item's.
    virtual unsigned int select(int position);
    // Sends the item's command to its target in the target's context; the target's answer, 0
    // without a target.
    virtual int dispatch();
    virtual void enable(int on);
    virtual void check(int on);
    // The native item's id at the item's position.
    virtual unsigned int id();

    HMENU menu() const { return hmenu; }
    int position() const { return where; }
    uint16_t getflags() const { return flags; }
    void setflags(uint16_t value) { flags = value; }
    void settarget(ICMDTARGET* value) { target = value; }
    // The popup the item opens; null when none.
    HMENU submenu() const;
    // Points the native item at position to this object and takes that position.
    void setitemptr(int position);
    // Finds the item's position again by its data; the old one stays when it is not found.
    void updateposition();

protected:
    // Asks the target for the item's state; false without a target or an answer.
    bool uistate(UISTATE& state);

    HMENU hmenu;
    int where;
    ICMDTARGET* target; // not owned; may be null
    uint16_t flags; // a separator's table flags (merge points); 0 otherwise
};

class MENUTOGGLE : public MENUITEM {
public:
    static constexpr int FLIPS = 0; // the menu flips the flag when the item is chosen
    static constexpr int SHOWS = 1; // the item only shows it; the command flips it

    MENUTOGGLE(HMENU menu, int position, ICMDTARGET* target, int kind, int* flag);

    void init() override;
    unsigned int select(int position) override;

private:
    int kind;
    int* flag; // the owner's; not owned
};

class MENUGROUP : public MENUITEM {
public:
    static constexpr int MAXMEMBERS = 16;

    MENUGROUP(HMENU menu, int position, ICMDTARGET* target, int* selection);

    void init() override;
    unsigned int select(int position) override;
    void enable(int on) override;

    // Takes the next item as a member; false when the group is full.
    bool addmember();
    int members() const { return count; }
    // Replaces the member's text (when text is not null) and the value it stands for.
    void setitem(int index, const char* text, unsigned int value);

private:
    int count = 1;
    int* selection; // the owner's; not owned
    uint32_t values[MAXMEMBERS];
};
