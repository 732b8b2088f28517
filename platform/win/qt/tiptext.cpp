#include "platform/win/qt/tiptext.h"

namespace winqt {

QString tiptext(const std::string& text, bool prefix)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (prefix && text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return QStringLiteral("<p style='white-space:pre'>%1</p>")
        .arg(QString::fromStdString(plain).toHtmlEscaped());
}

} // namespace winqt
