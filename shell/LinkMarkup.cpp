#include "shell/LinkMarkup.h"

#include "platform/ui/Colors.h"

namespace {

// One piece of the markup as the passes see it.
struct TToken {
    enum Kind { Text, LineBreak, LiteralLess, Tag };
    Kind Type = Text;
    QString Value; // Text: the characters; LineBreak: the original break; Tag: the tag's text
};

bool IsRawBreak(QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator;
}

// Characters that a Qt document would turn into frame marks; shown as replacement characters.
QChar Shown(QChar c) {
    return (c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1) ? QChar::ReplacementCharacter : c;
}

template <typename F>
void Tokenize(const QString& markup, F&& sink) {
    QString pending, tag;
    bool inTag = false;
    const qsizetype n = markup.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = markup[i];
        if (inTag) {
            if (c == u'<') {
                sink(TToken{TToken::LiteralLess, {}});
            } else if (c == u'>') {
                sink(TToken{TToken::Tag, tag});
                inTag = false;
            } else {
                tag += c;
            }
        } else if (c == u'<') {
            if (!pending.isEmpty())
                sink(TToken{TToken::Text, std::exchange(pending, {})});
            tag.clear();
            inTag = true;
        } else if (IsRawBreak(c)) {
            if (!pending.isEmpty())
                sink(TToken{TToken::Text, std::exchange(pending, {})});
            const bool crlf = c == u'\r' && i + 1 < n && markup[i + 1] == u'\n';
            sink(TToken{TToken::LineBreak, crlf ? QStringLiteral("\r\n") : QString(c)});
            if (crlf)
                ++i;
        } else {
            pending += c;
        }
    }
    if (!pending.isEmpty())
        sink(TToken{TToken::Text, pending});
}

bool IsBreakTag(const QString& tag) {
    const QString upper = tag.toUpper();
    return upper == u"BR" || upper.left(3) == u"BR ";
}

struct TTagParts {
    QString Name;      // upper case
    QString Attribute; // trimmed, case kept
};

TTagParts Split(const QString& tag) {
    const qsizetype blank = tag.indexOf(u' ');
    if (blank < 0)
        return {tag.trimmed().toUpper(), QString()};
    return {tag.left(blank).trimmed().toUpper(), tag.mid(blank + 1).trimmed()};
}

int32_t SizeOf(const QString& attribute) {
    bool ok = false;
    const int32_t size = attribute.toInt(&ok, 10);
    return ok ? size : 0;
}

TMarkupAlignment AlignmentOf(const QString& upperAttribute) {
    if (upperAttribute == u"LEFT")
        return TMarkupAlignment::Left;
    if (upperAttribute == u"RIGHT")
        return TMarkupAlignment::Right;
    if (upperAttribute == u"CENTER")
        return TMarkupAlignment::Center;
    return TMarkupAlignment::Control;
}

TLinkKind LinkKindOf(const QString& upperName) {
    if (upperName == u"URL")
        return TLinkKind::Url;
    if (upperName == u"MAIL")
        return TLinkKind::Mail;
    if (upperName == u"LINK")
        return TLinkKind::Custom;
    return TLinkKind::None;
}

// The second pass: attributes changed tag by tag, runs and paragraphs collected.
class TFormatter {
public:
    TFormatter(const TMarkupAttributes& start, const TMarkupContext& context)
        : FAttr(start), FContext(context) {
        FLayout.Paragraphs.append(QString());
        FLayout.Alignments.push_back(TMarkupAlignment::Control);
    }

    void Add(const TToken& token) {
        switch (token.Type) {
        case TToken::Text:
            for (const QChar c : token.Value)
                FLayout.Paragraphs.back() += Shown(c);
            FLayout.PlainText += token.Value;
            FPosition += int(token.Value.size());
            break;
        case TToken::LiteralLess:
            FLayout.Paragraphs.back() += u'<';
            FLayout.PlainText += u'<';
            ++FPosition;
            break;
        case TToken::LineBreak:
            FLayout.PlainText += token.Value;
            NewParagraph();
            break;
        case TToken::Tag:
            AddTag(token.Value);
            break;
        }
    }

    TMarkupLayout Finish() {
        CloseRun();
        FLayout.Final = FAttr;
        return std::move(FLayout);
    }

private:
    void NewParagraph() {
        ++FPosition;
        FLayout.Paragraphs.append(QString());
        FLayout.Alignments.push_back(TMarkupAlignment::Control);
    }

    void CloseRun() {
        if (FPosition > FRunStart)
            FLayout.Runs.push_back({FRunStart, FPosition, FAttr});
        FRunStart = FPosition;
    }

    void AddTag(const QString& tag) {
        const bool isBreak = IsBreakTag(tag);
        const TTagParts parts = Split(tag);
        if (isBreak) {
            FLayout.PlainText += QStringLiteral("\r\n");
            FLayout.Alignments.back() = AlignmentOf(parts.Attribute.toUpper());
            NewParagraph();
        }
        CloseRun();
        if (!isBreak)
            Apply(parts.Name, parts.Attribute.toUpper());
    }

    void Apply(const QString& name, const QString& attribute) {
        static const struct {
            const char16_t* Name;
            TFontStyle Style;
        } styles[] = {{u"B", fsBold}, {u"I", fsItalic}, {u"U", fsUnderline}, {u"S", fsStrikeOut}};
        for (const auto& s : styles) {
            if (name == s.Name)
                FAttr.Style |= s.Style;
            else if (name.size() == 2 && name[0] == u'/' && name.mid(1) == s.Name)
                FAttr.Style &= TFontStyles(~s.Style);
        }
        TColor color = 0;
        if (name == u"COLOR" && TLinkMarkup::ColorByName(attribute, color))
            FAttr.Color = color;
        else if (name == u"/COLOR")
            FAttr.Color = FContext.ControlFont.Color;
        else if (name == u"SIZE")
            FAttr.Size = SizeOf(attribute);
        else if (name == u"/SIZE")
            FAttr.Size = FContext.ControlFont.Size;
        else if (name == u"FONT")
            FAttr.Name = attribute;
        else if (name == u"/FONT")
            FAttr.Name = FContext.ControlFont.Name;
        else
            ApplyLink(name);
    }

    void ApplyLink(const QString& name) {
        const bool closing = name.startsWith(u'/');
        const TLinkKind kind = LinkKindOf(closing ? name.mid(1) : name);
        if (kind == TLinkKind::None)
            return;
        if (closing) {
            FAttr.Color = FSavedColor;
            FAttr.Style = FSavedStyle;
            return;
        }
        FSavedColor = FAttr.Color;
        FSavedStyle = FAttr.Style;
        FAttr.Color = kind == TLinkKind::Url    ? FContext.UrlColor
                      : kind == TLinkKind::Mail ? FContext.MailColor
                                                : FContext.LinkColor;
        FAttr.Style |= fsUnderline;
    }

    TMarkupAttributes FAttr;
    const TMarkupContext& FContext;
    TColor FSavedColor = clBlack; // the one save slot of the three link tags
    TFontStyles FSavedStyle = 0;
    TMarkupLayout FLayout;
    int FPosition = 0;
    int FRunStart = 0;
};

} // namespace

int TMarkupLayout::DocumentLength() const {
    int length = int(Paragraphs.size()) - 1;
    for (const QString& p : Paragraphs)
        length += int(p.size());
    return length;
}

QString TLinkMarkup::PlainText(const QString& markup) {
    QString plain;
    Tokenize(markup, [&](const TToken& t) {
        if (t.Type == TToken::Text || t.Type == TToken::LineBreak)
            plain += t.Value;
        else if (t.Type == TToken::LiteralLess)
            plain += u'<';
        else if (IsBreakTag(t.Value))
            plain += QStringLiteral("\r\n");
    });
    return plain;
}

TMarkupLayout TLinkMarkup::Format(const QString& markup, const TMarkupAttributes& start,
                                  const TMarkupContext& context) {
    TFormatter formatter(start, context);
    Tokenize(markup, [&](const TToken& t) { formatter.Add(t); });
    return formatter.Finish();
}

TLinkHit TLinkMarkup::FindLinkAt(const QString& markup, int position) {
    TLinkHit found, open;
    int count = 0, start = 0;
    bool done = false;
    Tokenize(markup, [&](const TToken& t) {
        if (done)
            return;
        if (t.Type == TToken::Text)
            count += int(t.Value.size());
        else if (t.Type != TToken::Tag)
            ++count;
        else if (IsBreakTag(t.Value))
            ++count;
        if (t.Type != TToken::Tag)
            return;
        const TTagParts parts = Split(t.Value);
        const bool closing = parts.Name.startsWith(u'/');
        const TLinkKind kind = LinkKindOf(closing ? parts.Name.mid(1) : parts.Name);
        if (kind == TLinkKind::None)
            return;
        if (!closing) {
            open = {parts.Attribute, kind};
            start = count;
        } else if (kind == open.Kind && start <= position && position < count) {
            found = open;
            done = true;
        }
    });
    return found;
}

bool TLinkMarkup::ColorByName(const QString& upperName, TColor& color) {
    static const struct {
        const char16_t* Name;
        TColor Color;
    } table[] = {
        {u"RED", clRed},         {u"GREEN", clGreen},           {u"YELLOW", clYellow},
        {u"BLUE", clBlue},       {u"BLACK", clBlack},           {u"WHITE", clWhite},
        {u"AQUA", clAqua},       {u"DKGRAY", clDkGray},         {u"OLIVE", clOlive},
        {u"PURPLE", clPurple},   {u"FUCHSIA", clFuchsia},       {u"GRAY", clGray},
        {u"LIME", clLime},       {u"MAROON", clMaroon},         {u"NAVY", clNavy},
        {u"LTGRAY", clLtGray},   {u"MEDGRAY", clMedGray},       {u"SILVER", clSilver},
        {u"TEAL", clTeal},       {u"MONEYGREEN", clMoneyGreen}, {u"CREAM", clCream},
        {u"SKYBLUE", clSkyBlue}, {u"BTNFACE", clBtnFace},       {u"APPWORKSPACE", clAppWorkSpace},
    };
    for (const auto& entry : table)
        if (upperName == entry.Name) {
            color = entry.Color;
            return true;
        }
    return false;
}
