#pragma once
// TLinkEdit: a read-only rich-text label that shows text written in the link markup (see
// LinkMarkup.h): bold, italic, underline, strike-out, colours, sizes, font names, line breaks with
// paragraph alignment, and web, mail and custom links that report hovering and clicks.
//
// Assigning RichText renders it: the document is rebuilt from the plain text and every run gets
// the attributes in force before the tag that ends it; text after the last tag gets the attributes
// in force at the end. The attributes carry over to the next assignment. While it renders, the
// control is disabled; its own enabled state comes back afterwards. GUI thread only.
#include "platform/ui/Font.h"
#include "platform/ui/Types.h"
#include "shell/LinkMarkup.h"

#include <functional>

#include <QCursor>
#include <QTextEdit>

// Asked for the hint of the link under the pointer; sets linkhint.
using TLinkHintEvent = std::function<void(const QString& link, QString& linkhint)>;
using TLinkClickEvent = std::function<void(const QString& link)>;

class TLinkEdit : public QTextEdit {
    Q_OBJECT

public:
    explicit TLinkEdit(QWidget* parent = nullptr);

    const QString& RichText() const { return FRichText; }
    void SetRichText(const QString& text);

    // The control's text as the markup's first pass makes it (CR LF for each BR).
    const QString& PlainText() const { return FPlainText; }

    // The control's font: what /COLOR, /SIZE and /FONT go back to. Setting it also resets the
    // attributes that carry over between assignments.
    const TFont& TextFont() const { return FTextFont; }
    void SetTextFont(const TFont& font);
    // The alignment of paragraphs whose BR names none.
    Qt::Alignment ControlAlignment() const { return FAlignment; }
    void SetControlAlignment(Qt::Alignment alignment) { FAlignment = alignment; }

    // The attributes in force at the end of the last assignment.
    const TMarkupAttributes& CurrentAttributes() const { return FAttributes; }

    // The document position of the character under a point of the viewport, or -1.
    int CharacterAt(const QPoint& viewportPoint) const;
    TLinkHit FindLinkAt(int position) const;

    TColor UrlColor;
    TColor MailColor;
    TColor LinkColor;
    bool UseInternalCursor = false;
    TLinkHintEvent OnUrlHint, OnMailHint, OnCustomLinkHint;
    TLinkClickEvent OnUrlClick, OnMailClick, OnCustomLinkClick;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TMarkupAttributes FontAttributes() const;
    void BuildDocument(const TMarkupLayout& layout);
    void ShowLinkState(const TLinkHit& hit);

    QString FRichText;
    QString FPlainText;
    TFont FTextFont;
    TMarkupAttributes FAttributes;
    Qt::Alignment FAlignment = Qt::AlignLeft;
    QCursor FDefaultCursor;
};
