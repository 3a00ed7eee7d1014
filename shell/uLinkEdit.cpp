#include "shell/uLinkEdit.h"

#include "platform/ui/Colors.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace {

Qt::Alignment ToQtAlignment(TMarkupAlignment a, Qt::Alignment control) {
    switch (a) {
    case TMarkupAlignment::Left:
        return Qt::AlignLeft;
    case TMarkupAlignment::Right:
        return Qt::AlignRight;
    case TMarkupAlignment::Center:
        return Qt::AlignHCenter;
    case TMarkupAlignment::Control:
        break;
    }
    return control;
}

QTextCharFormat ToCharFormat(const TMarkupAttributes& a) {
    QTextCharFormat f;
    f.setForeground(ToQColor(a.Color));
    f.setFontWeight((a.Style & fsBold) ? QFont::Bold : QFont::Normal);
    f.setFontItalic(a.Style & fsItalic);
    f.setFontUnderline(a.Style & fsUnderline);
    f.setFontStrikeOut(a.Style & fsStrikeOut);
    if (a.Size > 0)
        f.setFontPointSize(a.Size);
    if (!a.Name.isEmpty())
        f.setFontFamilies({a.Name});
    return f;
}

} // namespace

TLinkEdit::TLinkEdit(QWidget* parent)
    : QTextEdit(parent), UrlColor(clNavy), MailColor(clNavy), LinkColor(clNavy) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    viewport()->setMouseTracking(true);
    FDefaultCursor = viewport()->cursor();
    TFont font;
    const QFont app = QApplication::font();
    font.Name = app.family();
    if (app.pointSize() > 0)
        font.SetSize(app.pointSize());
    SetTextFont(font);
}

TMarkupAttributes TLinkEdit::FontAttributes() const {
    return {FTextFont.Color, FTextFont.Style, FTextFont.Size(), FTextFont.Name};
}

void TLinkEdit::SetTextFont(const TFont& font) {
    FTextFont = font;
    FAttributes = FontAttributes();
    setFont(font.ToQFont());
}

void TLinkEdit::SetRichText(const QString& text) {
    const bool wasEnabled = !testAttribute(Qt::WA_ForceDisabled);
    setEnabled(false);
    FRichText = text;
    const TMarkupContext context{FontAttributes(), UrlColor, MailColor, LinkColor};
    const TMarkupLayout layout = TLinkMarkup::Format(text, FAttributes, context);
    FPlainText = layout.PlainText;
    BuildDocument(layout);
    FAttributes = layout.Final;
    setEnabled(wasEnabled);
}

void TLinkEdit::BuildDocument(const TMarkupLayout& layout) {
    QTextDocument* doc = document();
    doc->clear();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < layout.Paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        QTextBlockFormat block;
        block.setAlignment(ToQtAlignment(layout.Alignments[size_t(i)], FAlignment));
        cursor.setBlockFormat(block);
        cursor.insertText(layout.Paragraphs[i]);
    }
    for (const TMarkupRun& run : layout.Runs) {
        cursor.setPosition(run.Start);
        cursor.setPosition(run.End, QTextCursor::KeepAnchor);
        cursor.setCharFormat(ToCharFormat(run.Attributes));
    }
    cursor.endEditBlock();
}

int TLinkEdit::CharacterAt(const QPoint& viewportPoint) const {
    const QPointF point(viewportPoint.x() + horizontalScrollBar()->value(),
                        viewportPoint.y() + verticalScrollBar()->value());
    const QTextBlock block = cursorForPosition(viewportPoint).block();
    if (!block.isValid() || !block.layout())
        return -1;
    const QRectF box = document()->documentLayout()->blockBoundingRect(block);
    const QPointF local = point - box.topLeft();
    const QTextLayout* text = block.layout();
    for (int i = 0; i < text->lineCount(); ++i) {
        const QTextLine line = text->lineAt(i);
        if (local.y() < line.y() || local.y() >= line.y() + line.height())
            continue;
        const qreal left = line.cursorToX(line.textStart());
        const qreal right = line.cursorToX(line.textStart() + line.textLength());
        if (local.x() < qMin(left, right) || local.x() >= qMax(left, right))
            return -1;
        const int offset = line.xToCursor(local.x(), QTextLine::CursorOnCharacter);
        if (offset < line.textStart() || offset >= line.textStart() + line.textLength())
            return -1;
        return block.position() + offset;
    }
    return -1;
}

TLinkHit TLinkEdit::FindLinkAt(int position) const {
    if (position < 0)
        return {};
    return TLinkMarkup::FindLinkAt(FRichText, position);
}

void TLinkEdit::ShowLinkState(const TLinkHit& hit) {
    if (hit.Kind == TLinkKind::None) {
        viewport()->setCursor(UseInternalCursor ? QCursor(Qt::ArrowCursor) : FDefaultCursor);
        setToolTip(QString());
        return;
    }
    if (UseInternalCursor)
        viewport()->setCursor(Qt::PointingHandCursor);
    const TLinkHintEvent& hint = hit.Kind == TLinkKind::Url    ? OnUrlHint
                                 : hit.Kind == TLinkKind::Mail ? OnMailHint
                                                               : OnCustomLinkHint;
    if (hint) {
        viewport()->setCursor(Qt::PointingHandCursor);
        QString text;
        hint(hit.Link, text);
        setToolTip(text);
    }
}

void TLinkEdit::mouseMoveEvent(QMouseEvent* event) {
    QTextEdit::mouseMoveEvent(event);
    ShowLinkState(FindLinkAt(CharacterAt(event->position().toPoint())));
}

void TLinkEdit::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    const TLinkHit hit = FindLinkAt(CharacterAt(event->position().toPoint()));
    const TLinkClickEvent& click = hit.Kind == TLinkKind::Url      ? OnUrlClick
                                   : hit.Kind == TLinkKind::Mail   ? OnMailClick
                                   : hit.Kind == TLinkKind::Custom ? OnCustomLinkClick
                                                                   : TLinkClickEvent();
    if (click)
        click(hit.Link);
}
