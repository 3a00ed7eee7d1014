// The link markup without a widget: plain text, runs and their attributes, paragraph alignment,
// and the link under a document position.
#include "shell/LinkMarkup.h"

#include "platform/ui/Colors.h"

#include <gtest/gtest.h>

namespace {

const TMarkupAttributes Font{clWindowText, 0, 8, QStringLiteral("Tahoma")};
const TMarkupContext Context{Font, clNavy, clTeal, clPurple};

TMarkupLayout Format(const QString& markup, const TMarkupAttributes& start = Font) {
    return TLinkMarkup::Format(markup, start, Context);
}

// The attributes of the run that holds a document position.
TMarkupAttributes At(const TMarkupLayout& layout, int position) {
    for (const TMarkupRun& run : layout.Runs)
        if (run.Start <= position && position < run.End)
            return run.Attributes;
    ADD_FAILURE() << "no run holds position " << position;
    return {};
}

TEST(LinkMarkup, PlainText) {
    struct Case {
        const char* markup;
        const char* plain;
    };
    const Case cases[] = {
        {"<b>Bold</b> plain", "Bold plain"},
        {"a<br center>b", "a\r\nb"},
        {"a<BR>b<Br >c<br\tx>d<brx>e", "a\r\nb\r\ncde"},
        {"<b<>x", "<x"},                    // a "<" inside a tag is shown
        {"abc<b unclosed", "abc"},          // an unclosed tag swallows the rest
        {"x<b<c", "x<"},                    // ... but not the "<" inside it
        {"a>b", "a>b"},                     // ">" outside a tag is a character
        {"<unknown attr>t<>", "t"},         // other tags vanish
        {"line\r\nbreak", "line\r\nbreak"}, // line breaks of the text stay
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        const QString markup = QString::fromUtf8(c.markup);
        EXPECT_EQ(TLinkMarkup::PlainText(markup), QString::fromUtf8(c.plain));
        EXPECT_EQ(Format(markup).PlainText, QString::fromUtf8(c.plain));
    }
}

TEST(LinkMarkup, BoldThenTheAttributesInForceAtTheEnd) {
    const TMarkupLayout l = Format(QStringLiteral("<b>Bold</b> plain"));
    EXPECT_EQ(l.Paragraphs, QStringList{"Bold plain"});
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(At(l, i).Style, fsBold) << i;
    for (int i = 4; i < 10; ++i)
        EXPECT_EQ(At(l, i).Style, 0) << i;
    EXPECT_EQ(l.Runs.back().End, 10);
    EXPECT_EQ(l.Final, Font);
}

TEST(LinkMarkup, BreaksEndParagraphsWithTheirAlignment) {
    const TMarkupLayout l =
        Format(QStringLiteral("a<br center>b<br RIGHT>c<br left>d<br>e<br justify>f\r\ng"));
    EXPECT_EQ(l.Paragraphs, (QStringList{"a", "b", "c", "d", "e", "f", "g"}));
    const std::vector<TMarkupAlignment> expected{
        TMarkupAlignment::Center,  TMarkupAlignment::Right,   TMarkupAlignment::Left,
        TMarkupAlignment::Control, TMarkupAlignment::Control, TMarkupAlignment::Control,
        TMarkupAlignment::Control};
    EXPECT_EQ(l.Alignments, expected);
    EXPECT_EQ(l.DocumentLength(), 13);
    EXPECT_EQ(l.Runs.back().End, 13);
}

TEST(LinkMarkup, TagEffects) {
    struct Case {
        const char* markup; // the letter x is the character looked at
        TMarkupAttributes expected;
    };
    const TMarkupAttributes f = Font;
    const Case cases[] = {
        {"<b >x", {f.Color, fsBold, 8, f.Name}},
        {"<B><I><U><S>x", {f.Color, fsBold | fsItalic | fsUnderline | fsStrikeOut, 8, f.Name}},
        {"<b><i></b>x", {f.Color, fsItalic, 8, f.Name}},
        {"<color Maroon>x", {clMaroon, 0, 8, f.Name}},
        {"<COLOR maroon>x", {clMaroon, 0, 8, f.Name}},
        {"<color red><color nosuch>x", {clRed, 0, 8, f.Name}},
        {"<color red></color>x", {f.Color, 0, 8, f.Name}},
        {"<color btnface>x", {clBtnFace, 0, 8, f.Name}},
        {"<color skyblue>x", {clSkyBlue, 0, 8, f.Name}},
        {"<size x>x", {f.Color, 0, 0, f.Name}},
        {"<size  12 >x", {f.Color, 0, 12, f.Name}},
        {"<size 12></size>x", {f.Color, 0, 8, f.Name}},
        {"<font Courier New>x", {f.Color, 0, 8, QStringLiteral("COURIER NEW")}},
        {"<font Arial></font>x", {f.Color, 0, 8, f.Name}},
        {"<url Target-A>x", {clNavy, fsUnderline, 8, f.Name}},
        {"<mail a@b>x", {clTeal, fsUnderline, 8, f.Name}},
        {"<link id>x", {clPurple, fsUnderline, 8, f.Name}},
        {"<color red><b><url t></url>x", {clRed, fsBold, 8, f.Name}},
        {"</url>x", {clBlack, 0, 8, f.Name}}, // the save slot starts black, no style
        // One save slot for all links: the inner link's saved state comes back at both closings.
        {"<color red><url a><mail b></mail></url>x", {clNavy, fsUnderline, 8, f.Name}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        const QString markup = QString::fromUtf8(c.markup);
        const TMarkupLayout l = Format(markup);
        const int x = int(l.Paragraphs.front().indexOf(u'x'));
        ASSERT_GE(x, 0);
        EXPECT_EQ(At(l, x), c.expected);
    }
}

TEST(LinkMarkup, TheHelpWindowsSwitchText) {
    const TMarkupLayout l =
        Format(QStringLiteral("<i>Switch:    </i><B><color Navy><size 10>N/A</size></color></B>"));
    EXPECT_EQ(l.PlainText, QStringLiteral("Switch:    N/A"));
    EXPECT_EQ(At(l, 0).Style, fsItalic);
    EXPECT_EQ(At(l, 11), (TMarkupAttributes{clNavy, fsBold, 10, Font.Name}));
    EXPECT_EQ(l.Final, Font);
}

TEST(LinkMarkup, AttributesCarryOverToTheNextText) {
    const TMarkupLayout first = Format(QStringLiteral("<b><color red>x"));
    const TMarkupLayout second = Format(QStringLiteral("y<i>z"), first.Final);
    EXPECT_EQ(At(second, 0), (TMarkupAttributes{clRed, fsBold, 8, Font.Name}));
    EXPECT_EQ(At(second, 1), (TMarkupAttributes{clRed, fsBold | fsItalic, 8, Font.Name}));
}

TEST(LinkMarkup, FindsTheLinkUnderAPosition) {
    struct Case {
        const char* markup;
        int position;
        const char* link;
        TLinkKind kind;
    };
    const Case cases[] = {
        {"ab<url Target-A>home</url>", 1, "", TLinkKind::None},
        {"ab<url Target-A>home</url>", 2, "Target-A", TLinkKind::Url},
        {"ab<url Target-A>home</url>", 5, "Target-A", TLinkKind::Url},
        {"ab<url Target-A>home</url>", 6, "", TLinkKind::None},
        {"<mail  me@example.org >m</mail>", 0, "me@example.org", TLinkKind::Mail},
        {"<LINK Page 2>p</link>", 0, "Page 2", TLinkKind::Custom},
        {"x<br><url u>ab</url>", 2, "u", TLinkKind::Url}, // a break is one position
        {"x<br><url u>ab</url>", 4, "", TLinkKind::None},
        {"a\r\nb<url u>c</url>", 3, "u", TLinkKind::Url}, // so is CR LF in the text
        {"<b<>x<url u>y</url>", 2, "u", TLinkKind::Url},  // and a "<" shown from a tag
        {"<url a>x</mail>", 0, "", TLinkKind::None},      // closed by another kind
        {"<url a>x<url b>y</url>", 0, "", TLinkKind::None},
        {"<url a>x<url b>y</url>", 1, "b", TLinkKind::Url},
        {"<url a>x", 0, "", TLinkKind::None}, // never closed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        const TLinkHit hit = TLinkMarkup::FindLinkAt(QString::fromUtf8(c.markup), c.position);
        EXPECT_EQ(hit.Link, QString::fromUtf8(c.link));
        EXPECT_EQ(hit.Kind, c.kind);
    }
}

} // namespace
