#pragma once

// The text of a tip as Qt's tooltip shows it. With `prefix` an ampersand marks a mnemonic and is
// not shown ("&&" is one ampersand); the text is escaped, so that markup in it shows as typed.
// Callers: the tooltip control and the toolbar's button tips (the layer).

#include <QString>
#include <string>

namespace winqt {

QString tiptext(const std::string& text, bool prefix);

} // namespace winqt
