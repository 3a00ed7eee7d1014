#pragma once
// The tag markup of link labels, without any widget: the plain text, the formatted runs with their
// attributes, the alignment of each paragraph, and the link under a character.
//
// Markup: a tag is everything between "<" and the next ">"; a "<" inside a tag is a literal "<" of
// the text; a tag never closed swallows the rest. A tag is split at its first blank into a name and
// an attribute (both trimmed), compared in upper case: B, I, U, S and their closing forms; COLOR
// name, /COLOR; URL, MAIL, LINK target and their closing forms; SIZE n, /SIZE; FONT name, /FONT;
// BR [LEFT|RIGHT|CENTER]. Other tags vanish.
//
// Positions. The plain text holds CR LF for each BR, as the control's text. Runs, paragraphs and
// link lookups count document positions instead: one per character, one per "<" shown from inside
// a tag, one per line break (a BR, or CR LF, CR, LF or U+2029 in the text), which is how the
// document of a Qt text control numbers its characters.
#include "platform/ui/Font.h"
#include "platform/ui/Types.h"

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

// The character attributes that the tags change.
struct TMarkupAttributes {
    TColor Color = 0;
    TFontStyles Style = 0;
    int32_t Size = 0; // points; 0 or less leaves the size to the control
    QString Name;

    friend bool operator==(const TMarkupAttributes&, const TMarkupAttributes&) = default;
};

enum class TLinkKind { None, Url, Mail, Custom };

enum class TMarkupAlignment { Control, Left, Right, Center };

// What the closing and link tags fall back on.
struct TMarkupContext {
    TMarkupAttributes ControlFont; // colour, size and name of the control's font
    TColor UrlColor = 0;
    TColor MailColor = 0;
    TColor LinkColor = 0;
};

struct TMarkupRun {
    int Start = 0; // document positions, End excluded
    int End = 0;
    TMarkupAttributes Attributes;
};

struct TMarkupLayout {
    QString PlainText;                        // the control's text: CR LF for each BR
    QStringList Paragraphs;                   // the document's paragraphs (line breaks removed)
    std::vector<TMarkupAlignment> Alignments; // one per paragraph
    std::vector<TMarkupRun> Runs;             // consecutive, covering the whole document
    TMarkupAttributes Final;                  // the attributes in force at the end
    int DocumentLength() const;
};

struct TLinkHit {
    QString Link;
    TLinkKind Kind = TLinkKind::None;
};

class TLinkMarkup {
public:
    // The plain text alone (first pass).
    static QString PlainText(const QString& markup);
    // Both passes: the runs start from the given attributes.
    static TMarkupLayout Format(const QString& markup, const TMarkupAttributes& start,
                                const TMarkupContext& context);
    // The link whose text covers the document position, or an empty link.
    static TLinkHit FindLinkAt(const QString& markup, int position);
    // The colour of a COLOR attribute (upper case), or false for a name not in the table.
    static bool ColorByName(const QString& upperName, TColor& color);
};
