#pragma once

// The kinds of drawing primitive (primitive.h): each made from its shape and a named graphic
// style, the texts from a placement, a font and a justification too, the symbol instances from a
// placement and a symbol.
// Callers: the schematic's placement of graphics and its graphics (TAVI), the device tools,
// symbols.

#include <string>

#include "platform/kelmar/primitive.h"
#include "platform/ombrel/shapes.h"

class PR_LINE : public PRIMITIVE {
public:
    PR_LINE(const LINE& line, const GSTYLE_ENTRY& style);

    int kind() const override { return PK_LINE; }
    BOX occa(int mode) const override;
    int test(POINT point, int* distance) const override;
    int gethandles(DPA& handles) const override;
    int resize(DRAGHANDLE* handle) override;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const override;
    PRIMITIVE* clone() const override { return new PR_LINE(*this); }

    static PRIMITIVE* make(LIBCURSOR& in, const GSTYLE_ENTRY& style);

    LINE line;

protected:
    POINT reference() const override;
    void settle() override;
    void packshape(LIBWRITER& out) const override;
    void scaleshape(int factor) override;
};

class PR_BOX : public PRIMITIVE {
public:
    PR_BOX(const BOX& box, const GSTYLE_ENTRY& style);

    int kind() const override { return PK_BOX; }
    BOX occa(int mode) const override;
    int test(POINT point, int* distance) const override;
    // Eight handles: the corners 0 (x1, y1), 1 (x2, y1), 2 (x2, y2), 3 (x1, y2), then the middles
    // of the edges 4 bottom, 5 top, 6 left, 7 right.
    int gethandles(DPA& handles) const override;
    int resize(DRAGHANDLE* handle) override;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const override;
    PRIMITIVE* clone() const override { return new PR_BOX(*this); }

    // Holds the box to at least minwidth by minheight and at most maxwidth by maxheight, moving
    // the edges the last resize moved (else the right and top edges), and gives it, through the
    // placement, in limited.
    void limit(BOX& limited, int minwidth, int minheight, int maxwidth, int maxheight);

    static PRIMITIVE* make(LIBCURSOR& in, const GSTYLE_ENTRY& style);

    BOX box;

protected:
    POINT reference() const override { return box.centre(); }
    void settle() override;
    void packshape(LIBWRITER& out) const override;
    void scaleshape(int factor) override;

private:
    // The box as the handles last left it, or the box when it has changed since.
    BOX handled() const;

    BOX dragged; // the box as the last resize left it, edges perhaps turned over
    int lasthandle = -1;
};

class PR_CIRCLE : public PRIMITIVE {
public:
    PR_CIRCLE(const CIRCLE& circle, const GSTYLE_ENTRY& style);

    int kind() const override { return PK_CIRCLE; }
    BOX occa(int mode) const override;
    int test(POINT point, int* distance) const override;
    // Four handles on the circle: 0 right, 1 top, 2 left, 3 bottom; each sets the radius.
    int gethandles(DPA& handles) const override;
    int resize(DRAGHANDLE* handle) override;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const override;
    PRIMITIVE* clone() const override { return new PR_CIRCLE(*this); }

    static PRIMITIVE* make(LIBCURSOR& in, const GSTYLE_ENTRY& style);

    CIRCLE circle;

protected:
    POINT reference() const override { return circle.centre; }
    void settle() override;
    void packshape(LIBWRITER& out) const override;
    void scaleshape(int factor) override;
};

class PR_BEZIER : public PRIMITIVE {
public:
    PR_BEZIER(const BEZIER& curve, const GSTYLE_ENTRY& style);

    int kind() const override { return PK_BEZIER; }
    BOX occa(int mode) const override;
    int test(POINT point, int* distance) const override;
    // Four handles: 0 the start, 1 and 2 the control points, 3 the end.
    int gethandles(DPA& handles) const override;
    int resize(DRAGHANDLE* handle) override;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const override;
    PRIMITIVE* clone() const override { return new PR_BEZIER(*this); }

    static PRIMITIVE* make(LIBCURSOR& in, const GSTYLE_ENTRY& style);

    BEZIER curve;

protected:
    POINT reference() const override;
    void settle() override;
    void packshape(LIBWRITER& out) const override;
    void scaleshape(int factor) override;
};

class PR_PATH : public PRIMITIVE {
public:
    // A path that does not end where it began is closed with a line.
    PR_PATH(const PATH& path, const GSTYLE_ENTRY& style);

    int kind() const override { return PK_PATH; }
    BOX occa(int mode) const override;
    int test(POINT point, int* distance) const override;
    // Handle 0 the start; for segment k, 3k + 1 and 3k + 2 its control points (curves only) and
    // 3k + 3 its end, which is also where the next segment starts.
    int gethandles(DPA& handles) const override;
    int resize(DRAGHANDLE* handle) override;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const override;
    PRIMITIVE* clone() const override { return new PR_PATH(*this); }

    static PRIMITIVE* make(LIBCURSOR& in, const GSTYLE_ENTRY& style);

    const PATH& getpath() const { return path; }

protected:
    POINT reference() const override;
    void settle() override;
    void packshape(LIBWRITER& out) const override;
    void scaleshape(int factor) override;

private:
    // The outline as points, each curve flattened.
    std::vector<POINT> outline() const;
    // Rebuilds the path from its segments, changed.
    void rebuild(std::vector<PATH::SEGMENT> segments);

    PATH path;
};

class PR_TEXT : public PRIMITIVE {
public:
    // Text at the placement in the font, justified around it, coloured by the graphic style's pen.
    PR_TEXT(const CTS& at, const char* text, const TSTYLE& font, int justification, const GSTYLE_ENTRY& style);

    int kind() const override { return PK_TEXT; }
    BOX occa(int mode) const override;
    int test(POINT point, int* distance) const override;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const override;
    PRIMITIVE* clone() const override { return new PR_TEXT(*this); }
    int isempty() const override;

    void settext(const char* text); // null: empty
    const char* gettext() const { return text.c_str(); }
    void setfont(const TSTYLE& font, int justification);
    const TSTYLE& getfont() const { return font; }
    int getjustification() const { return justification; }
    // The text entry of a new text (the dialogs library): 1 when the user gave a text, 0 when
    // cancelled or left empty.
    int entertext();

    static PRIMITIVE* make(LIBCURSOR& in, const GSTYLE_ENTRY& style);

protected:
    POINT reference() const override { return POINT(); }
    void packshape(LIBWRITER& out) const override;
    void scaleshape(int factor) override;

private:
    // The font as drawn: the style's pen colour.
    TSTYLE drawnfont() const;

    std::string text;
    TSTYLE font;
    int justification = JUSTIFY_LEFT | JUSTIFY_BOTTOM;
};

class PR_SYM : public PRIMITIVE {
public:
    // An instance of the symbol (not owned; the symbol must outlive it) at the placement.
    PR_SYM(const CTS& at, SYMBOL* symbol, const GSTYLE_ENTRY& style);

    // PK_MARKER for a marker, else PK_SYMBOL.
    int kind() const override;
    BOX occa(int mode) const override;
    int test(POINT point, int* distance) const override;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const override;
    void updatestyles(const XSTYLE_MANAGER<GSTYLE>& styles, const GSTYLE_ENTRY* fallback) override { }
    int replace(SYMBOL* old, SYMBOL* with) override;
    void usedlist(DIDX& symbols, DIDX& styles) const override;
    int makesym(DIDX& markers, DPA& primitives, const CTS& cts) const override;
    PRIMITIVE* clone() const override { return new PR_SYM(*this); }

    // The symbol; null when the name found none when the instance was read.
    SYMBOL* getsymbol() const { return symbol; }
    const char* getname() const { return name; }

    static PRIMITIVE* make(LIBCURSOR& in, const GSTYLE_ENTRY& style);

protected:
    POINT reference() const override { return POINT(); }
    void packshape(LIBWRITER& out) const override;
    void scaleshape(int factor) override;

private:
    PR_SYM(const CTS& at, const char* name, SYMBOL* symbol, const GSTYLE_ENTRY& style);
    void setname(const char* name);

    SYMBOL* symbol;
    char name[64] = {};
};
