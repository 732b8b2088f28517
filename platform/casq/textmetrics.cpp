#include "platform/casq/textmetrics.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <strings.h>

#include "platform/casq/qtrenderer.h"
#include "platform/ombrel/point.h"

namespace {

// A text style's width is its character width at the suite's usual 0.8 of the height; other
// ratios narrow or widen the face in proportion.
constexpr double USUALWIDTH = 0.8;
// How far the usual faces reach below their baseline, as a share of the em.
constexpr double DESCENT = 0.22;

bool canmeasure()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Characters, not bytes, of a UTF-8 text.
int64_t characters(const char* text)
{
    int64_t count = 0;
    for (const char* p = text; *p; ++p) {
        count += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    }
    return count;
}

} // namespace

casq::FONT casq::fontof(const TSTYLE& style, double size)
{
    FONT font;
    font.face = style.resolvedface();
    font.fixedpitch = strcasecmp(font.face.c_str(), VECTOR_FONT_FACE) == 0;
    font.size = size;
    font.stretch = style.width > 0 && style.height > 0 ? style.width / (USUALWIDTH * style.height) : 1.0;
    font.stretch = std::clamp(font.stretch, 0.05, 20.0);
    font.bold = style.flags & TS_BOLD;
    font.italic = style.flags & TS_ITALIC;
    font.underline = style.flags & TS_UNDERLINE;
    font.strikeout = style.flags & TS_STRIKEOUT;
    return font;
}

int32_t textwidth(const char* text, const TSTYLE& style)
{
    if (!text || !*text || style.height <= 0) {
        return 0;
    }
    if (!canmeasure()) {
        return clampcoord(characters(text) * std::max<int64_t>(style.width, 0));
    }
    casq::FONT font = casq::fontof(style, style.height);
    QFontMetricsF metrics(casq::toolkitfont(font, casq::TEXTLAYOUTSIZE));
    double advance = metrics.horizontalAdvance(QString::fromUtf8(text));
    return clampcoord(std::llround(advance * style.height / casq::TEXTLAYOUTSIZE * font.stretch));
}

BOX textbox(const char* text, int justification, const TSTYLE& style)
{
    if (!text || !*text || style.height <= 0) {
        return VOIDBOX;
    }
    int64_t width = textwidth(text, style);
    int64_t left = (justification & 3) == JUSTIFY_RIGHT ? -width
        : (justification & 3) == JUSTIFY_CENTRE         ? -width / 2
                                                        : 0;
    double capitals = casq::CAPHEIGHT * style.height;
    double baseline = (justification & 0xC) == JUSTIFY_TOP ? -capitals
        : (justification & 0xC) == JUSTIFY_MIDDLE          ? -capitals / 2
                                                           : 0;
    return BOX(clampcoord(left), clampcoord(std::llround(baseline - DESCENT * style.height)),
        clampcoord(left + width), clampcoord(std::llround(baseline + capitals)));
}
