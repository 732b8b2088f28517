#include "platform/win/qt/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/win/gdi.h"
#include "platform/win/globalmemory.h"
#include "platform/win/messagequeue.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/textcase.h"
#include "platform/win/window.h"

namespace {

constexpr UINT firstnamed = 0xC000;
const char* const marker = "application/x-vkt-clipboard-serial";

struct Clipboard {
    std::vector<std::string> names;  // format firstnamed + i
    bool open = false;
    HWND opener = nullptr;
    HWND owner = nullptr;
    bool changed = false;
    std::map<UINT, HANDLE> data;  // a null handle: promised, rendered on request
    UINT rendering = 0;           // the format a WM_RENDERFORMAT is producing
    bool foreign = false;         // the desktop's clipboard holds another program's data
    qulonglong serial = 0;
    bool watching = false;
};

Clipboard& board()
{
    static Clipboard instance;
    return instance;
}

QString mimeof(UINT format)
{
    Clipboard& b = board();
    if (format < firstnamed || format - firstnamed >= b.names.size()) {
        return QString();
    }
    return "application/x-vkt-" + QString::fromLatin1(QByteArray::fromStdString(b.names[format - firstnamed]).toHex());
}

void release(UINT format, HANDLE data)
{
    if (!data) {
        return;
    }
    if (format == CF_BITMAP) {
        DeleteObject(data);
    } else {
        GlobalFree(data);
    }
}

void clear(Clipboard& b)
{
    for (auto& [format, data] : b.data) {
        release(format, data);
    }
    b.data.clear();
}

HGLOBAL blockof(const void* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block) {
        std::memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

QByteArray bytesof(HGLOBAL block)
{
    size_t size = GlobalSize(block);
    const char* data = static_cast<const char*>(GlobalLock(block));
    QByteArray bytes = data ? QByteArray(data, static_cast<qsizetype>(size)) : QByteArray();
    GlobalUnlock(block);
    return bytes;
}

HGLOBAL dibof(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width();
    header.biHeight = image.height();  // rows bottom-up
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biSizeImage = static_cast<DWORD>(image.width() * image.height() * 4);
    QByteArray bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = image.height() - 1; y >= 0; --y) {
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4);
    }
    return blockof(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A packed DIB of 24 or 32 bits per pixel, either row order; null when malformed.
QImage imageofdib(const QByteArray& bytes)
{
    if (bytes.size() < static_cast<qsizetype>(sizeof(BITMAPINFOHEADER))) {
        return QImage();
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.constData(), sizeof header);
    int width = header.biWidth;
    int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    int depth = header.biBitCount;
    if (width <= 0 || height <= 0 || (depth != 24 && depth != 32) || header.biCompression != BI_RGB) {
        return QImage();
    }
    qsizetype stride = ((static_cast<qsizetype>(width) * depth / 8) + 3) & ~3;
    qsizetype start = header.biSize;
    if (start + stride * height > bytes.size()) {
        return QImage();
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        int row = header.biHeight < 0 ? y : height - 1 - y;
        const auto* in = reinterpret_cast<const uchar*>(bytes.constData() + start + stride * row);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const uchar* p = in + x * depth / 8;
            out[x] = qRgb(p[2], p[1], p[0]);
        }
    }
    return image;
}

QString textof(UINT format, HGLOBAL block)
{
    QByteArray bytes = bytesof(block);
    if (format == CF_UNICODETEXT) {
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2).section(QChar(0), 0, 0);
    }
    return QString::fromUtf8(bytes.constData()).section(QChar(0), 0, 0);
}

HGLOBAL textblock(UINT format, const QString& text)
{
    if (format == CF_UNICODETEXT) {
        std::u16string wide = text.toStdU16String();
        return blockof(wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
    }
    QByteArray utf8 = text.toUtf8();
    return blockof(utf8.constData(), static_cast<size_t>(utf8.size()) + 1);
}

const QMimeData* desktop()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

// The format as the desktop's clipboard has it, for a clipboard another program filled.
HANDLE import(UINT format)
{
    const QMimeData* mime = desktop();
    if (!mime) {
        return nullptr;
    }
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return mime->hasText() ? textblock(format, mime->text()) : nullptr;
    case CF_BITMAP:
        return mime->hasImage() ? winqt::tobitmap(qvariant_cast<QImage>(mime->imageData())) : nullptr;
    case CF_DIB:
        return mime->hasImage() ? dibof(qvariant_cast<QImage>(mime->imageData())) : nullptr;
    default: {
        QString type = mimeof(format);
        if (type.isEmpty() || !mime->hasFormat(type)) {
            return nullptr;
        }
        QByteArray bytes = mime->data(type);
        return blockof(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    }
}

bool desktophas(UINT format)
{
    const QMimeData* mime = desktop();
    if (!mime) {
        return false;
    }
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return mime->hasText();
    case CF_BITMAP:
    case CF_DIB:
        return mime->hasImage();
    default:
        return !mimeof(format).isEmpty() && mime->hasFormat(mimeof(format));
    }
}

// A format this clipboard can make from another it holds: text from text, bitmap from DIB.
UINT sibling(UINT format)
{
    switch (format) {
    case CF_TEXT:
        return CF_UNICODETEXT;
    case CF_UNICODETEXT:
        return CF_TEXT;
    case CF_BITMAP:
        return CF_DIB;
    case CF_DIB:
        return CF_BITMAP;
    default:
        return 0;
    }
}

HANDLE rendered(Clipboard& b, UINT format)
{
    auto found = b.data.find(format);
    if (found == b.data.end()) {
        return nullptr;
    }
    if (!found->second && IsWindow(b.owner)) {
        b.rendering = format;
        SendMessageA(b.owner, WM_RENDERFORMAT, format, 0);
        b.rendering = 0;
        found = b.data.find(format);
    }
    return found == b.data.end() ? nullptr : found->second;
}

HANDLE synthesize(Clipboard& b, UINT format)
{
    UINT from = sibling(format);
    HANDLE source = from ? rendered(b, from) : nullptr;
    if (!source) {
        return nullptr;
    }
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return textblock(format, textof(from, source));
    case CF_BITMAP:
        return winqt::tobitmap(imageofdib(bytesof(source)));
    case CF_DIB:
        return dibof(winqt::toimage(static_cast<HBITMAP>(source)));
    default:
        return nullptr;
    }
}

void publish(Clipboard& b)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return;
    }
    auto* mime = new QMimeData;
    mime->setData(marker, QByteArray::number(++b.serial));
    for (const auto& [format, data] : b.data) {
        if (!data) {
            continue;  // a promise is kept within this program only
        }
        if (format == CF_TEXT || format == CF_UNICODETEXT) {
            mime->setText(textof(format, data));
        } else if (format == CF_BITMAP) {
            mime->setImageData(winqt::toimage(static_cast<HBITMAP>(data)));
        } else if (format == CF_DIB) {
            mime->setImageData(imageofdib(bytesof(data)));
        } else if (QString type = mimeof(format); !type.isEmpty()) {
            mime->setData(type, bytesof(data));
        }
    }
    clipboard->setMimeData(mime);
}

// Another program took the desktop's clipboard: this program's data and ownership end.
void watch(Clipboard& b)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (b.watching || !clipboard) {
        return;
    }
    b.watching = true;
    b.foreign = !desktop() || !desktop()->hasFormat(marker);
    QObject::connect(clipboard, &QClipboard::dataChanged, qApp, [] {
        Clipboard& c = board();
        const QMimeData* mime = desktop();
        if (mime && mime->data(marker) == QByteArray::number(c.serial)) {
            return;
        }
        if (IsWindow(c.owner)) {
            SendMessageA(c.owner, WM_DESTROYCLIPBOARD, 0, 0);
        }
        clear(c);
        c.owner = nullptr;
        c.foreign = true;
    });
}

}  // namespace

UINT RegisterClipboardFormatA(LPCSTR name)
{
    if (!name || !*name) {
        return 0;
    }
    Clipboard& b = board();
    for (size_t i = 0; i < b.names.size(); ++i) {
        if (win::equalnocase(b.names[i], name)) {
            return static_cast<UINT>(firstnamed + i);
        }
    }
    b.names.emplace_back(name);
    return static_cast<UINT>(firstnamed + b.names.size() - 1);
}

int GetClipboardFormatNameA(UINT format, LPSTR buffer, int size)
{
    Clipboard& b = board();
    if (!buffer || size < 1 || format < firstnamed || format - firstnamed >= b.names.size()) {
        return 0;
    }
    const std::string& name = b.names[format - firstnamed];
    size_t length = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), length);
    buffer[length] = 0;
    return static_cast<int>(length);
}

BOOL OpenClipboard(HWND owner)
{
    Clipboard& b = board();
    if (b.open && b.opener != owner) {
        return FALSE;
    }
    watch(b);
    b.open = true;
    b.opener = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    Clipboard& b = board();
    if (!b.open) {
        return FALSE;
    }
    b.open = false;
    if (b.changed) {
        b.changed = false;
        publish(b);
    }
    return TRUE;
}

BOOL EmptyClipboard()
{
    Clipboard& b = board();
    if (!b.open) {
        return FALSE;
    }
    if (IsWindow(b.owner)) {
        SendMessageA(b.owner, WM_DESTROYCLIPBOARD, 0, 0);
    }
    clear(b);
    b.owner = b.opener;
    b.foreign = false;
    b.changed = true;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data)
{
    Clipboard& b = board();
    bool rendering = b.rendering == format;
    if (!format || (!rendering && (!b.open || b.foreign))) {
        return nullptr;
    }
    auto found = b.data.find(format);
    if (found != b.data.end() && found->second != data) {
        release(format, found->second);
    }
    b.data[format] = data;
    b.changed = b.changed || !rendering;
    return data;
}

HANDLE GetClipboardData(UINT format)
{
    Clipboard& b = board();
    if (!b.open) {
        return nullptr;
    }
    if (b.foreign && !b.data.count(format)) {
        if (HANDLE imported = import(format)) {
            b.data[format] = imported;
        }
    }
    if (HANDLE data = rendered(b, format)) {
        return data;
    }
    if (HANDLE made = synthesize(b, format)) {
        b.data[format] = made;
        return made;
    }
    return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    Clipboard& b = board();
    watch(b);
    if (b.data.count(format) || (sibling(format) && b.data.count(sibling(format)))) {
        return TRUE;
    }
    return b.foreign && desktophas(format) ? TRUE : FALSE;
}

int CountClipboardFormats()
{
    int count = 0;
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
        ++count;
    }
    return count;
}

UINT EnumClipboardFormats(UINT format)
{
    Clipboard& b = board();
    std::vector<UINT> formats;
    for (const auto& entry : b.data) {
        formats.push_back(entry.first);
    }
    if (b.foreign) {
        for (UINT standard : {CF_TEXT, CF_BITMAP, CF_DIB, CF_UNICODETEXT}) {
            if (desktophas(standard) && !b.data.count(standard)) {
                formats.push_back(standard);
            }
        }
        for (size_t i = 0; i < b.names.size(); ++i) {
            UINT named = static_cast<UINT>(firstnamed + i);
            if (desktophas(named) && !b.data.count(named)) {
                formats.push_back(named);
            }
        }
        std::sort(formats.begin(), formats.end());
    }
    auto next = std::upper_bound(formats.begin(), formats.end(), format);
    return next == formats.end() ? 0 : *next;
}

HWND GetClipboardOwner() { return IsWindow(board().owner) ? board().owner : nullptr; }
