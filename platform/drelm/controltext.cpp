#include "platform/drelm/controltext.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/text/format.h"
#include "core/text/values.h"
#include "platform/drelm/control.h"
#include "platform/tirsk/keytext.h"

namespace drelm {

int copyutf8(const std::string& text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    // Back off continuation bytes so that no character is cut.
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::string keyname(unsigned long key)
{
    if (!key)
        return "<No Key Set>";
    return std::string(getshiftkeytext(key, "+", "WCAS")) + getkeytext(key);
}

void setvaluetext(CONTROL& control, long value)
{
    QWidget* widget = control.getwidget();
    if (!widget)
        return;
    widget->setProperty(VALUEPROPERTY, QVariant::fromValue<qlonglong>(value));
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(QString::fromStdString(keyname(static_cast<unsigned long>(value))));
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const int side = std::max(8, button->iconSize().height());
        QPixmap swatch(side * 2, side);
        swatch.fill(QColor(GetRValue(value), GetGValue(value), GetBValue(value)));
        QPainter frame(&swatch);
        frame.setPen(Qt::black);
        frame.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
        button->setIcon(QIcon(swatch));
        button->setIconSize(swatch.size());
    }
}

std::string formatvalue(const CONTROL& control, double value)
{
    const QWidget* widget = control.getwidget();
    const QString kind = widget ? widget->property(VALUEKINDPROPERTY).toString() : QString();
    if (kind != QLatin1String("V")) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }
    const int digits
        = widget->property(DIGITSPROPERTY).isValid() ? widget->property(DIGITSPROPERTY).toInt() : 3;
    char text[24];
    return std::string(fmtval(value, digits, 0, text))
        + widget->property(UNITPROPERTY).toString().toStdString();
}

bool readvalue(const std::string& text, double& value)
{
    char* cursor = const_cast<char*>(text.c_str());
    double read = 0;
    if (!getval(&cursor, &read) || !std::isfinite(read))
        return false;
    if (std::strpbrk(cursor, "0123456789+-."))
        return false;
    value = read;
    return true;
}

} // namespace drelm
