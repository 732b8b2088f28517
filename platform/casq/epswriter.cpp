#include "platform/casq/epswriter.h"

#include <QDateTime>
#include <cmath>
#include <cstdio>
#include <strings.h>

#include "platform/casq/outputfile.h"
#include "platform/casq/styles.h"
#include "platform/casq/vectorshapes.h"

namespace casq {
namespace {

// The standard face closest to a face name: serif faces take Times, fixed pitch Courier, every
// other Helvetica.
std::string standardface(const FONT& font)
{
    std::string family = "Helvetica";
    const char* face = font.face.c_str();
    if (font.fixedpitch || strcasestr(face, "courier") || strcasestr(face, "mono")) {
        family = "Courier";
    } else if (strcasestr(face, "times") || strcasestr(face, "serif") || strcasestr(face, "roman")
        || strcasestr(face, "georgia") || strcasestr(face, "garamond")) {
        family = strcasestr(face, "sans") ? "Helvetica" : "Times";
    }
    bool times = family == "Times";
    if (font.bold && font.italic) {
        return family + (times ? "-BoldItalic" : "-BoldOblique");
    }
    if (font.bold) {
        return family + "-Bold";
    }
    if (font.italic) {
        return family + (times ? "-Italic" : "-Oblique");
    }
    return family + (times ? "-Roman" : "");
}

// A PostScript string of the text in ISO Latin-1.
std::string psstring(const std::string& utf8)
{
    std::string text = "(";
    for (char32_t c : codepoints(utf8)) {
        if (c == '(' || c == ')' || c == '\\') {
            text.push_back('\\');
            text.push_back(char(c));
        } else if (c >= 0x20 && c < 0x7F) {
            text.push_back(char(c));
        } else if (c >= 0xA0 && c <= 0xFF) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", unsigned(c));
            text += octal;
        } else if (c >= 0x80) {
            text.push_back('?');
        }
    }
    return text + ")";
}

// The prologue: short names, the standard faces re-encoded to Latin-1, and text placing.
const char* const PROLOGUE = R"(/VKTdict 64 dict def VKTdict begin
/m {moveto} bind def /l {lineto} bind def /c {curveto} bind def /cp {closepath} bind def
/n {newpath} bind def /rgb {setrgbcolor} bind def
/concatstrings { exch dup length 2 index length add string dup dup 4 2 roll copy length
  4 -1 roll putinterval } bind def
/latin1 { findfont dup length dict begin { 1 index /FID ne {def} {pop pop} ifelse } forall
  /Encoding ISOLatin1Encoding def currentdict end definefont pop } bind def
[/Helvetica /Helvetica-Bold /Helvetica-Oblique /Helvetica-BoldOblique /Times-Roman /Times-Bold
 /Times-Italic /Times-BoldItalic /Courier /Courier-Bold /Courier-Oblique /Courier-BoldOblique]
{ dup 40 string cvs (-L1) concatstrings cvn exch latin1 } forall
% string font size stretch dx-factor dy underline strikeout x y angle  ->  shows the text
/t { gsave 3 1 roll translate rotate /st exch def /ul exch def /dy exch def /dxf exch def
  /sx exch def /sz exch def findfont [sz sx mul 0 0 sz 0 0] makefont setfont
  dup stringwidth pop /tw exch def tw dxf mul dy moveto dup show
  ul { n tw dxf mul dy sz 0.12 mul sub m tw 0 rlineto sz 0.06 mul setlinewidth stroke } if
  st { n tw dxf mul dy sz 0.26 mul add m tw 0 rlineto sz 0.06 mul setlinewidth stroke } if
  pop grestore } bind def
end
)";

} // namespace

EPSWRITER::EPSWRITER(std::string documenttitle, bool eps, bool asoutlines)
    : title(std::move(documenttitle))
    , encapsulated(eps)
    , outlines(asoutlines)
{
}

void EPSWRITER::write(const std::string& text)
{
    if (target) {
        target->write(text);
    }
}

std::string EPSWRITER::x(double value) const
{
    return number(value, 3);
}

std::string EPSWRITER::y(double value) const
{
    return number(height - value, 3);
}

std::string EPSWRITER::colour(COLORREF c, int alpha) const
{
    // Translucent colours are laid over the paper: PostScript has no translucency.
    auto mix
        = [&](int channel, int under) { return (channel * alpha + under * (255 - alpha)) / 255.0 / 255.0; };
    return number(mix(GetRValue(c), GetRValue(paper)), 4) + " "
        + number(mix(GetGValue(c), GetGValue(paper)), 4) + " "
        + number(mix(GetBValue(c), GetBValue(paper)), 4) + " rgb\n";
}

void EPSWRITER::prologue()
{
    std::string when = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    write(std::string(encapsulated ? "%!PS-Adobe-3.0 EPSF-3.0\n" : "%!PS-Adobe-3.0\n"));
    std::string printable;
    for (char c : title) {
        printable.push_back(c >= 0x20 && c < 0x7F ? c : '?');
    }
    write("%%Creator: VKT\n%%Title: " + printable + "\n");
    write("%%CreationDate: " + when + "\n%%LanguageLevel: 2\n%%DocumentData: Clean7Bit\n");
}

void EPSWRITER::beginpage(double width, double pageheight, COLORREF background, bool erase)
{
    height = pageheight;
    paper = erase ? background : 0xFFFFFF;
    clipped = false;
    ++pages;
    std::string box = "0 0 " + std::to_string(long(std::ceil(width - 1e-6))) + " "
        + std::to_string(long(std::ceil(height - 1e-6)));
    std::string hires = "0 0 " + number(width, 3) + " " + number(height, 3);
    if (encapsulated || !started) {
        prologue();
        if (encapsulated) {
            write("%%BoundingBox: " + box + "\n%%HiResBoundingBox: " + hires + "\n%%Pages: 1\n");
        } else {
            write("%%Pages: (atend)\n");
        }
        write("%%EndComments\n%%BeginProlog\n" + std::string(PROLOGUE) + "%%EndProlog\n");
        started = true;
    }
    int pagenumber = encapsulated ? 1 : pages;
    write("%%Page: " + std::to_string(pagenumber) + " " + std::to_string(pagenumber) + "\n");
    if (!encapsulated) {
        write("%%PageBoundingBox: " + box + "\n");
    }
    write("%%BeginPageSetup\n");
    if (!encapsulated) {
        write("<< /PageSize [" + number(width, 3) + " " + number(height, 3) + "] >> setpagedevice\n");
    }
    write("VKTdict begin save\n1 setlinecap 1 setlinejoin\n%%EndPageSetup\n");
    if (erase) {
        write("n 0 0 m " + x(width) + " 0 l " + x(width) + " " + number(height, 3) + " l 0 "
            + number(height, 3) + " l cp " + colour(background, 255) + "fill\n");
    }
}

void EPSWRITER::endpage()
{
    if (clipped) {
        write("grestore\n");
        clipped = false;
    }
    write("restore end\n");
    write(encapsulated ? "%%Trailer\n%%EOF\n" : "showpage\n");
}

void EPSWRITER::finishdocument()
{
    if (!encapsulated && started) {
        write("%%Trailer\n%%Pages: " + std::to_string(pages) + "\n%%EOF\n");
    }
}

void EPSWRITER::clip(const DRECT* area)
{
    if (clipped) {
        write("grestore\n");
        clipped = false;
    }
    if (!area) {
        return;
    }
    write("gsave " + x(area->left) + " " + y(area->bottom) + " " + number(area->right - area->left, 3) + " "
        + number(area->bottom - area->top, 3) + " rectclip\n");
    clipped = true;
}

void EPSWRITER::paintpath(const PAINT& paint, bool closed)
{
    if (closed && paint.fill) {
        write((paint.stroke ? "gsave " : "") + colour(paint.fillcolour, paint.alpha) + "eofill"
            + (paint.stroke ? " grestore\n" : "\n"));
    }
    if (paint.stroke) {
        std::string dashes = "[";
        for (double length : paint.dashes) {
            dashes += (dashes.size() > 1 ? " " : "") + number(length, 3);
        }
        write(number(paint.penwidth, 3) + " setlinewidth " + dashes + "] 0 setdash "
            + colour(paint.pencolour, paint.alpha) + "stroke\n");
    }
}

void EPSWRITER::polyline(const std::vector<DPOINT>& points, const PAINT& paint)
{
    std::string path = "n";
    for (size_t i = 0; i < points.size(); ++i) {
        path += " " + x(points[i].x) + " " + y(points[i].y) + (i ? " l" : " m");
        if (i % 8 == 7) {
            path += "\n";
        }
    }
    write(path + "\n");
    paintpath(paint, false);
}

void EPSWRITER::polygon(const std::vector<DPOINT>& points, const PAINT& paint)
{
    std::string path = "n";
    for (size_t i = 0; i < points.size(); ++i) {
        path += " " + x(points[i].x) + " " + y(points[i].y) + (i ? " l" : " m");
        if (i % 8 == 7) {
            path += "\n";
        }
    }
    write(path + " cp\n");
    paintpath(paint, true);
}

void EPSWRITER::ellipse(DPOINT centre, double rx, double ry, const PAINT& paint)
{
    // The circle is made in a scaled space, which must not widen the stroke: the matrix goes back
    // before painting.
    write("n matrix currentmatrix " + x(centre.x) + " " + y(centre.y) + " translate " + number(rx, 4) + " "
        + number(ry, 4) + " scale 1 0 m 0 0 1 0 360 arc cp setmatrix\n");
    paintpath(paint, true);
}

void EPSWRITER::arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint)
{
    double from = start;
    double to = start + sweep;
    double a = from * 3.14159265358979323846 / 180;
    write("n matrix currentmatrix " + x(centre.x) + " " + y(centre.y) + " translate " + number(rx, 4) + " "
        + number(ry, 4) + " scale " + number(std::cos(a), 6) + " " + number(std::sin(a), 6) + " m 0 0 1 "
        + number(from, 4) + " " + number(to, 4) + (sweep >= 0 ? " arc" : " arcn") + " setmatrix\n");
    paintpath(paint, false);
}

void EPSWRITER::figure(const FIGURE& shape, const PAINT& paint)
{
    std::string path = "n";
    bool closed = false;
    for (const auto& step : shape.steps) {
        switch (step.kind) {
        case FIGURE::move:
            path += " " + x(step.to.x) + " " + y(step.to.y) + " m";
            break;
        case FIGURE::line:
            path += " " + x(step.to.x) + " " + y(step.to.y) + " l";
            break;
        case FIGURE::cubic:
            path += "\n" + x(step.c1.x) + " " + y(step.c1.y) + " " + x(step.c2.x) + " " + y(step.c2.y) + " "
                + x(step.to.x) + " " + y(step.to.y) + " c";
            break;
        case FIGURE::close:
            path += " cp";
            closed = true;
            break;
        }
    }
    write(path + "\n");
    paintpath(paint, closed);
}

void EPSWRITER::text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification)
{
    if (font.size <= 0) {
        return;
    }
    if (outlines) {
        std::string path = "n";
        for (const POLYLINE& part : glyphoutlines(at, angle, utf8, font, justification, 0.05)) {
            for (size_t i = 0; i < part.points.size(); ++i) {
                path += " " + x(part.points[i].x) + " " + y(part.points[i].y) + (i ? " l" : " m");
            }
            path += " cp\n";
        }
        write(path + colour(font.colour, font.alpha) + "eofill\n");
        return;
    }
    double dxfactor = (justification & 3) == JUSTIFY_RIGHT ? -1
        : (justification & 3) == JUSTIFY_CENTRE            ? -0.5
                                                           : 0;
    double dy = (justification & 0xC) == JUSTIFY_TOP ? -CAPHEIGHT * font.size
        : (justification & 0xC) == JUSTIFY_MIDDLE    ? -CAPHEIGHT * font.size / 2
                                                     : 0;
    write(colour(font.colour, font.alpha) + psstring(utf8) + " /" + standardface(font) + "-L1 "
        + number(font.size, 3) + " " + number(font.stretch, 4) + " " + number(dxfactor, 2) + " "
        + number(dy, 3) + (font.underline ? " true" : " false") + (font.strikeout ? " true " : " false ")
        + x(at.x) + " " + y(at.y) + " " + number(angle, 3) + " t\n");
}

void EPSWRITER::image(const PIXELS& pixels, DPOINT origin, DPOINT across, DPOINT down, int alpha)
{
    int w = pixels.width;
    int h = pixels.height;
    // The unit square maps onto the image, its top row at y = 1.
    DPOINT bottomleft { origin.x + down.x, origin.y + down.y };
    write("gsave [" + number(across.x, 4) + " " + number(-across.y, 4) + " " + number(-down.x, 4) + " "
        + number(down.y, 4) + " " + x(bottomleft.x) + " " + y(bottomleft.y)
        + "] concat\n/DeviceRGB setcolorspace\n" + "<< /ImageType 1 /Width " + std::to_string(w) + " /Height "
        + std::to_string(h) + " /ImageMatrix [" + std::to_string(w) + " 0 0 -" + std::to_string(h) + " 0 "
        + std::to_string(h)
        + "] /BitsPerComponent 8 /Decode [0 1 0 1 0 1] /DataSource currentfile /ASCIIHexDecode filter >> "
          "image\n");
    static const char digits[] = "0123456789abcdef";
    std::string line;
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            uint32_t p = pixels.argb[size_t(row) * w + col];
            int a = int((p >> 24) * uint32_t(alpha) / 255);
            for (int shift : { 16, 8, 0 }) {
                int under = shift == 16 ? GetRValue(paper) : shift == 8 ? GetGValue(paper) : GetBValue(paper);
                int v = (int((p >> shift) & 0xFF) * a + under * (255 - a)) / 255;
                line.push_back(digits[v >> 4]);
                line.push_back(digits[v & 15]);
            }
            if (line.size() >= 72) {
                write(line + "\n");
                line.clear();
            }
        }
    }
    write(line + ">\ngrestore\n");
}

} // namespace casq
