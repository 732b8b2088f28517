#pragma once

// Image lists from strips a test draws, loaded as the product loads its strips: each strip becomes
// a bitmap resource of the program.

#include <QBuffer>
#include <QImage>
#include <deque>
#include <string>

#include "platform/win/images.h"
#include "platform/win/modules.h"
#include "platform/win/qt/controls.h"
#include "platform/win/resources.h"

namespace wintest {

// The strip cut into images `width` pixels wide; the mask colour is left out.
inline HIMAGELIST imagelist(const QImage& strip, int width, COLORREF mask)
{
    struct STRIP {
        std::string name;
        QByteArray bytes;
        RESOURCEENTRY entry;
    };
    static std::deque<STRIP> strips; // the resource table points into them for the process's life
    STRIP& added = strips.emplace_back();
    added.name = "TESTSTRIP" + std::to_string(strips.size());
    QBuffer buffer(&added.bytes);
    buffer.open(QIODevice::WriteOnly);
    strip.save(&buffer, "PNG");
    added.entry = { RT_BITMAP, added.name.c_str(), added.bytes.constData(), static_cast<DWORD>(added.bytes.size()) };
    HMODULE program = GetModuleHandleA(nullptr);
    registerresources(program, &added.entry, 1);
    return ImageList_LoadImageA(program, added.name.c_str(), width, 0, mask, IMAGE_BITMAP, 0);
}

} // namespace wintest
