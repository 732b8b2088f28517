#pragma once

// The base of each document a project holds (a design, a layout). A document asks its project
// for what belongs to the project (file name, path, read-only state, properties) and tells it when
// it changes. The project is borrowed: documents belong to their modules.

class APPLNPROJECT;
class DIDX;
class RLIB_BASE;

class APPLNDOCUMENT {
public:
    APPLNDOCUMENT();
    virtual ~APPLNDOCUMENT();
    APPLNDOCUMENT(const APPLNDOCUMENT&) = delete;
    APPLNDOCUMENT& operator=(const APPLNDOCUMENT&) = delete;

    virtual void setproject(APPLNPROJECT* owner) { project = owner; }
    // Names longer than 516 characters and fonts longer than 39 are cut.
    virtual void setdocname(const char* name);
    virtual void setdefaultfont(const char* font);
    // Stores the flag; setting it marks the project dirty on behalf of this document.
    virtual void setdirty(int flag);
    // Non-zero locks; zero unlocks an untitled project's document, locks a read-only project's.
    virtual void updatelock(int flag);
    virtual void onmodified() { }
    // The named graphic and text style tables; null in the base.
    virtual DIDX* getgstyles() { return nullptr; }
    virtual DIDX* gettstyles() { return nullptr; }
    // The document's library of the kind asked for; null in the base.
    virtual RLIB_BASE* getlibrary(int which) { return nullptr; }
    // The project's property; null without a project.
    virtual const char* getproperty(const char* name);

    // From the project; without one, the last level of the document name, the document name, 0.
    const char* filename();
    const char* pathname();
    int isuntitled();
    int isreadonly();
    int isinitialized() const { return project != nullptr; }
    // Whether the document name's extension (after its dot) is extension, case ignored.
    int isdoctype(const char* extension) const;
    const char* name() const { return docname; }
    const char* defaultfont() const { return fontname; }
    APPLNPROJECT* getproject() const { return project; }
    int islocked() const { return locked; }
    int isdirty() const { return dirty; }

private:
    APPLNPROJECT* project = nullptr; // borrowed
    char docname[517] = "";
    char fontname[40] = "Vector Font";
    int locked = 0;
    int dirty = 0;
};

// The project of the current application context's document (getapplndocument); null when none.
APPLNPROJECT* getapplnproject();
