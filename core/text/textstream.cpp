#include "core/text/textstream.h"

#include "core/text/text.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int lineBlock = 8192;
constexpr int deliveredInput = 0x01; // the get area holds characters read from the text
constexpr int writingBegun = 0x02; // output went through overflow
constexpr int stateBits = deliveredInput | writingBegun;

bool isbrace(char c)
{
    return c == '{' || c == '}';
}

} // namespace

// --- TEXTCURSOR ---

void TEXTCURSOR::start(TEXT* t, int esc)
{
    text = t;
    escapes = esc;
    base = t ? t->text : nullptr;
    end = base ? base + std::strlen(base) : nullptr;
    cur = base;
    skipmarks();
}

void TEXTCURSOR::finish(TEXT* t, int esc)
{
    start(t, esc);
    cur = nullptr;
    prev();
}

int TEXTCURSOR::width() const
{
    return escapes && isbrace(cur[0]) && cur[1] == cur[0] ? 2 : 1;
}

void TEXTCURSOR::skipmarks()
{
    if (escapes)
        while (cur && cur < end && isbrace(*cur) && cur[1] != *cur)
            ++cur;
    if (cur && cur >= end)
        cur = nullptr;
}

int TEXTCURSOR::next()
{
    if (!base)
        return 0;
    cur = cur ? cur + width() : base;
    skipmarks();
    return cur ? 1 : 0;
}

int TEXTCURSOR::prev()
{
    char* p = cur ? cur : end;
    while (p && p > base) {
        char* last = p - 1;
        if (!escapes || !isbrace(*last)) {
            cur = last;
            return 1;
        }
        // Braces pair up from the start of a run of the same brace; an odd one left over at the
        // run's end is a mark.
        char* run = last;
        while (run > base && run[-1] == *last)
            --run;
        long length = last - run + 1;
        if (length >= 2) {
            cur = length % 2 == 0 ? last - 1 : last - 2;
            return 1;
        }
        p = last;
    }
    cur = nullptr;
    return 0;
}

void TEXTCURSOR::relocate(char* newbase)
{
    if (cur)
        cur = newbase + (cur - base);
    end = newbase + (end - base);
    base = newbase;
}

// --- TEXTBUF ---

TEXTBUF::TEXTBUF()
    : buffer(static_cast<char*>(std::malloc(lineBlock)))
    , size(lineBlock)
{
    if (!buffer)
        throw std::bad_alloc();
    setp(buffer, buffer + size);
    setg(buffer, buffer, buffer);
}

TEXTBUF::~TEXTBUF()
{
    std::free(buffer);
}

void TEXTBUF::attach(TEXT* t, int mode)
{
    sync();
    text = t;
    flags = mode & ~stateBits;
}

int TEXTBUF::flushall()
{
    int result = overflow(traits_type::eof()) == traits_type::eof() ? -1 : 0;
    flags &= ~stateBits;
    return result;
}

bool TEXTBUF::outputpending() const
{
    return (flags & writingBegun) || pptr() > pbase();
}

TEXTBUF::int_type TEXTBUF::overflow(int_type c)
{
    if (flags & deliveredInput)
        sync();
    long pending = pptr() - pbase();
    int_type result = 0;
    if (pending > 0) {
        if (!text) {
            result = traits_type::eof();
        } else {
            long need = escapes() ? 2 * pending : pending;
            long length = cursor.end ? cursor.end - cursor.base : 0;
            if (!cursor.cur || cursor.end <= cursor.cur + need) {
                bool wasNull = cursor.base == nullptr;
                char* grown = text->resize(static_cast<int>(length + need));
                if (!grown) {
                    result = traits_type::eof();
                } else {
                    if (wasNull) {
                        cursor.base = cursor.end = grown;
                        *grown = '\0';
                    }
                    cursor.relocate(grown);
                }
            }
            if (result == 0) {
                if (!cursor.cur)
                    cursor.cur = cursor.end;
                for (const char* p = pbase(); p < pptr(); ++p) {
                    for (int copies = escapes() && isbrace(*p) ? 2 : 1; copies > 0; --copies) {
                        *cursor.cur++ = *p;
                        if (cursor.cur >= cursor.end) {
                            cursor.end = cursor.cur;
                            *cursor.end = '\0';
                        }
                    }
                }
                if (cursor.cur >= cursor.end)
                    cursor.cur = nullptr;
            }
        }
    }
    setp(buffer, buffer + size);
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    flags |= writingBegun;
    return result;
}

TEXTBUF::int_type TEXTBUF::underflow()
{
    if (outputpending())
        sync();
    setp(nullptr, nullptr);
    flags |= deliveredInput;
    int n = 0;
    bool joining = false;
    while (cursor.cur) {
        char c = *cursor.cur;
        cursor.next();
        if (joining && c == '\n') {
            buffer[n - 1] = ' ';
            joining = false;
            continue;
        }
        if (n == size) {
            auto* grown = static_cast<char*>(std::realloc(buffer, static_cast<size_t>(size) + lineBlock));
            if (!grown)
                throw std::bad_alloc();
            buffer = grown;
            size += lineBlock;
        }
        buffer[n++] = c;
        joining = escapes() && c == '\\';
        if (c == '\n')
            break;
    }
    setg(buffer, buffer, buffer + n);
    return n ? traits_type::to_int_type(buffer[0]) : traits_type::eof();
}

int TEXTBUF::sync()
{
    if (outputpending()) {
        int result = overflow(traits_type::eof()) == traits_type::eof() ? -1 : 0;
        setp(nullptr, nullptr);
        flags &= ~writingBegun;
        return result;
    }
    if (flags & deliveredInput) {
        for (long unread = egptr() - gptr(); unread > 0; --unread) {
            cursor.prev();
            // A blank that joined two lines stands for a backslash and a line feed.
            if (escapes() && cursor.cur && *cursor.cur == '\n') {
                char* linefeed = cursor.cur;
                if (cursor.prev() && *cursor.cur != '\\')
                    cursor.cur = linefeed;
                else if (!cursor.cur)
                    cursor.cur = linefeed;
            }
        }
        setg(buffer, buffer, buffer);
        flags &= ~deliveredInput;
    }
    return 0;
}

TEXTBUF::pos_type TEXTBUF::seekoff(off_type off, std::ios_base::seekdir way, std::ios_base::openmode)
{
    sync();
    if (!text)
        return pos_type(off_type(-1));
    if (way == std::ios_base::beg) {
        cursor.start(text, escapes());
    } else if (way == std::ios_base::end) {
        cursor.finish(text, escapes());
        cursor.next();
    }
    long length = cursor.end ? cursor.end - cursor.base : 0;
    long target = (cursor.cur ? cursor.cur - cursor.base : length) + off;
    if (target < 0 || target > length)
        return pos_type(off_type(-1));
    cursor.cur = target == length ? nullptr : cursor.base + target;
    return pos_type(target);
}

TEXTBUF::pos_type TEXTBUF::seekpos(pos_type pos, std::ios_base::openmode which)
{
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

// --- TEXTSTREAM ---

TEXTSTREAM::TEXTSTREAM(TEXT* t, int mode)
    : std::iostream(nullptr)
{
    rdbuf(&buf);
    if (t)
        open(t, mode);
}

TEXTSTREAM::~TEXTSTREAM()
{
    close();
}

TEXTSTREAM& TEXTSTREAM::open(TEXT* t, int mode)
{
    buf.attach(t, mode);
    auto way = (mode & TEXTSTREAM_ATEND) ? std::ios_base::end : std::ios_base::beg;
    if (buf.pubseekoff(0, way, std::ios_base::in | std::ios_base::out) == std::streampos(-1))
        clear(std::ios_base::badbit);
    else
        clear();
    return *this;
}

TEXTSTREAM& TEXTSTREAM::close()
{
    if (buf.flushall() != 0)
        clear(std::ios_base::badbit);
    return *this;
}
