#include "framework/appln/registrytext.h"

#include <vector>

#include "core/windows/registry.h"
#include "platform/win/pathboundary.h"

bool reg_getstring(const char* section, const char* key, std::string& text)
{
    const int size = reg_getsize(section, key);
    if (size < 0)
        return false;
    std::vector<char> buffer(static_cast<size_t>(size) + 1);
    if (reg_getstr(section, key, buffer.data(), static_cast<int>(buffer.size())) < 0)
        return false;
    text = buffer.data();
    return true;
}

int reg_getstr(const char* section, const char* key, QString& text)
{
    std::string read;
    if (!reg_getstring(section, key, read))
        return 0;
    text = QString::fromLocal8Bit(read);
    return 1;
}

int reg_putstr(const char* section, const char* key, const QString& text)
{
    return reg_putstr(section, key, text.toLocal8Bit().constData());
}

bool reg_getpath(const char* section, const char* key, std::string& path)
{
    std::string read;
    if (!reg_getstring(section, key, read))
        return false;
    path = towindowspath(read);
    return true;
}

int reg_putpath(const char* section, const char* key, const char* path)
{
    return reg_putstr(section, key, toposixpath(path ? path : "").c_str());
}
