// TLinkEdit on a real Qt document: formats land on the right characters, paragraphs get their
// alignment, and the pointer over a link gives hints and clicks.
#include "platform/ui/Colors.h"
#include "shell/uLinkEdit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

TFont LabelFont() {
    TFont f;
    f.Name = QStringLiteral("DejaVu Sans");
    f.Color = clBlack;
    f.SetSize(10);
    return f;
}

class LinkEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit.SetTextFont(LabelFont());
        edit.resize(500, 300);
        edit.show();
    }

    // The format of the character at a document position.
    QTextCharFormat FormatAt(int position) {
        QTextCursor c(edit.document());
        c.setPosition(position);
        c.setPosition(position + 1, QTextCursor::KeepAnchor);
        return c.charFormat();
    }

    // The middle of the character at a document position, in viewport coordinates.
    QPoint PointOf(int position) {
        QTextCursor c(edit.document());
        c.setPosition(position);
        const QRect left = edit.cursorRect(c);
        c.setPosition(position + 1);
        const QRect right = edit.cursorRect(c);
        return QPoint((left.x() + right.x()) / 2, left.center().y());
    }

    void Move(const QPoint& p) {
        QMouseEvent e(QEvent::MouseMove, p, edit.viewport()->mapToGlobal(p), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(edit.viewport(), &e);
    }

    void Click(const QPoint& p) {
        const QPoint global = edit.viewport()->mapToGlobal(p);
        QMouseEvent press(QEvent::MouseButtonPress, p, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(edit.viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(edit.viewport(), &release);
    }

    TLinkEdit edit;
};

TEST_F(LinkEditTest, FormatsLandOnTheRightCharacters) {
    edit.SetRichText(QStringLiteral("ab<br><b>bold</b><br center><color red>red</color> x<i>it"));
    EXPECT_EQ(edit.PlainText(), QStringLiteral("ab\r\nbold\r\nred xit"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("ab\nbold\nred xit"));
    const QString doc = edit.toPlainText();
    for (int i = 0; i < doc.size(); ++i) {
        if (doc[i] == u'\n')
            continue;
        SCOPED_TRACE(i);
        const QTextCharFormat f = FormatAt(i);
        const bool bold = i >= 3 && i <= 6;
        const bool red = i >= 8 && i <= 10;
        const bool italic = i >= 13;
        EXPECT_EQ(f.fontWeight() == QFont::Bold, bold);
        EXPECT_EQ(f.fontItalic(), italic);
        EXPECT_EQ(f.foreground().color(), red ? QColor(255, 0, 0) : QColor(0, 0, 0));
        EXPECT_EQ(f.fontPointSize(), 10);
    }
    const QTextBlock first = edit.document()->firstBlock();
    EXPECT_EQ(first.blockFormat().alignment(), Qt::AlignLeft);
    EXPECT_EQ(first.next().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(first.next().next().blockFormat().alignment(), Qt::AlignLeft);
}

TEST_F(LinkEditTest, ASecondAssignmentStartsFromTheFirstsFinalAttributes) {
    edit.SetRichText(QStringLiteral("<b><size 14>one"));
    edit.SetRichText(QStringLiteral("two"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("two"));
    EXPECT_EQ(FormatAt(0).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(0).fontPointSize(), 14);
    edit.SetTextFont(LabelFont()); // a new font starts afresh
    edit.SetRichText(QStringLiteral("three"));
    EXPECT_EQ(FormatAt(0).fontWeight(), QFont::Normal);
}

TEST_F(LinkEditTest, KeepsItsEnabledState) {
    edit.setEnabled(false);
    edit.SetRichText(QStringLiteral("<b>x"));
    EXPECT_FALSE(edit.isEnabled());
    edit.setEnabled(true);
    edit.SetRichText(QStringLiteral("<b>y"));
    EXPECT_TRUE(edit.isEnabled());
}

TEST_F(LinkEditTest, HoveringALinkAsksForItsHint) {
    QStringList asked;
    edit.OnUrlHint = [&](const QString& link, QString& hint) {
        asked.append(link);
        hint = QStringLiteral("Open ") + link;
    };
    edit.SetRichText(QStringLiteral("go <url Target-A>home</url> now"));
    const QTextCharFormat link = FormatAt(3);
    EXPECT_EQ(link.foreground().color(), QColor(0, 0, 128));
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(edit.CharacterAt(PointOf(3)), 3);

    Move(PointOf(4));
    EXPECT_EQ(asked, QStringList{"Target-A"});
    EXPECT_EQ(edit.toolTip(), QStringLiteral("Open Target-A"));
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);

    Move(PointOf(0));
    EXPECT_EQ(edit.toolTip(), QString());
    EXPECT_NE(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    edit.UseInternalCursor = true;
    Move(PointOf(1));
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::ArrowCursor);
    Move(QPoint(490, 290)); // beyond the text
    EXPECT_EQ(edit.toolTip(), QString());
    EXPECT_EQ(asked.size(), 1);
}

TEST_F(LinkEditTest, ClicksGoToTheHandlerOfTheLinksKind) {
    QStringList calls;
    edit.OnUrlClick = [&](const QString& l) { calls.append(QStringLiteral("url ") + l); };
    edit.OnMailClick = [&](const QString& l) { calls.append(QStringLiteral("mail ") + l); };
    edit.OnCustomLinkClick = [&](const QString& l) { calls.append(QStringLiteral("link ") + l); };
    edit.SetRichText(QStringLiteral("<url http://x.org/A>web</url> - <mail a@b.c>mail</mail><br>"
                                    "<link Page>custom</link> plain"));
    Click(PointOf(1));  // web
    Click(PointOf(7));  // mail
    Click(PointOf(12)); // custom, after the break
    Click(PointOf(19)); // plain
    EXPECT_EQ(calls, (QStringList{"url http://x.org/A", "mail a@b.c", "link Page"}));
}

} // namespace
