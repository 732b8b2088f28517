#pragma once

// Links in the rich-text documents of other modules (the project notes): web addresses, bookmarks
// inside the document, and links into the design that name a schematic element ("tavi") or a layout
// part ("brix") by its database id, "corvane://tavi?ref=R1&id=42&live=true". A live link keeps its
// text in step with the current name of what it names. A link is text from a document or from
// another program's command line: one that is over-long, holds control characters, names a kind
// or a path this program does not know, or lacks its id is refused with the reason, and nothing
// is opened for it.
// Callers: the document modules through the program's exports; the command line.

#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

class CDBCORE;
class QUrl;

class LinkHandler {
public:
    // The longest link text followed.
    static constexpr int LONGESTLINK = 2048;

    static QString createCorvaneLink(const QString& module, const QString& ref, unsigned long id, bool live);
    // false (id 0, live false) when the scheme is not "corvane"; else the link's parts: the module
    // word (the authority), the reference (percent-decoded), the id (0 when not a number) and the
    // live flag.
    static bool parseCorvaneLink(const QUrl& url, QString& ref, unsigned long& id, QString& module, bool& live);
    // Why the link cannot be followed; empty for a link that can.
    static QString refusal(const QString& link);
    // Lets the user edit the link and its text (LinkDialog over the active window); both are
    // replaced when the user confirms. bookmarks: the document's.
    static void modifyLink(QString& text, QString& link, const QStringList& bookmarks);
    // Follows the link: web addresses open in the desktop's browser, design links select what
    // they name; a refused link shows its reason.
    static void navigateLink(const QString& link);
    // Every live design link gets the current name of what it names as its text (its reference
    // followed by " (not found)" when that is gone); entries that are no live design links are
    // dropped. The map's key is the link as the document holds it; its value the link and text.
    static void updateLiveLinks(QMap<QString, QPair<QString, QString>>& links);
    // The same against the database given (the open project's above).
    static void updateLiveLinks(QMap<QString, QPair<QString, QString>>& links, CDBCORE* cdb);
};
