#include "shell/uAbout.h"

#include "platform/os/DesktopServices.h"
#include "platform/ui/Colors.h"
#include "shell/uLinkEdit.h"
#include "shell/uZvVersion.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kMargin = 16;
constexpr int kImageSize = 96;
constexpr int kTextLeft = kMargin + kImageSize + kMargin;

// The program's picture: a film frame with a lens, drawn so that the page needs no resource.
QPixmap ProgramPicture() {
    QPixmap pixmap(kImageSize, kImageSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 20, 20), 2));
    p.setBrush(QColor(250, 240, 225));
    p.drawRoundedRect(QRectF(4, 10, 88, 76), 8, 8);
    p.setBrush(QColor(40, 40, 60));
    p.drawEllipse(QPointF(48, 48), 26, 26);
    p.setBrush(QColor(120, 160, 220));
    p.drawEllipse(QPointF(48, 48), 14, 14);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(43, 43), 4, 4);
    return pixmap;
}

// A strip of film: the program takes pictures out of videos.
QPixmap FilmStrip() {
    QPixmap pixmap(kImageSize, 180);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(45, 45, 45));
    p.drawRoundedRect(QRectF(18, 0, 60, 180), 4, 4);
    p.setBrush(QColor(235, 235, 235));
    for (int y = 6; y < 176; y += 14) {
        p.drawRect(QRectF(21, y, 6, 8));
        p.drawRect(QRectF(69, y, 6, 8));
    }
    const QColor frames[] = {QColor(120, 170, 220), QColor(220, 180, 110), QColor(130, 190, 130)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(frames[i]);
        p.drawRect(QRectF(31, 8 + i * 58, 34, 50));
    }
    return pixmap;
}

} // namespace

TAboutFrame::TAboutFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("AboutFrame"));
    setFixedSize(FrameWidth, FrameHeight);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    setPalette(palette);
    QFont font = this->font();
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    setFont(font);
    OpenUrl = [](const QString& address) { return kelvara::os::OpenUrl(address); };
    CreateImages();
    CreateTitle();
    CreateFields();
    WireLinks();
}

void TAboutFrame::CreateImages() {
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ProgramPicture());
    Image1->setGeometry(kMargin, kMargin, kImageSize, kImageSize);
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(FilmStrip());
    Image2->setGeometry(kMargin, kMargin + kImageSize + 24, kImageSize, 180);
}

void TAboutFrame::CreateTitle() {
    labTitre = new QLabel(this);
    labTitre->setObjectName(QStringLiteral("labTitre"));
    QFont title(QStringLiteral("Bookman Old Style"));
    title.setFamilies({QStringLiteral("Bookman Old Style"), QStringLiteral("URW Bookman"),
                       QStringLiteral("DejaVu Serif"), QStringLiteral("serif")});
    title.setPixelSize(33);
    title.setBold(true);
    labTitre->setFont(title);
    QPalette palette = labTitre->palette();
    palette.setColor(QPalette::WindowText, ToQColor(clMaroon));
    labTitre->setPalette(palette);
    auto* shadow = new QGraphicsDropShadowEffect(labTitre);
    shadow->setColor(Qt::white);
    shadow->setOffset(2, 2);
    shadow->setBlurRadius(0);
    labTitre->setGraphicsEffect(shadow);
    labTitre->setGeometry(kTextLeft, kMargin + 8, FrameWidth - kTextLeft - kMargin, 48);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(kTextLeft, kMargin + 64, FrameWidth - kTextLeft - kMargin, 4);
}

void TAboutFrame::CreateFields() {
    const auto field = [this](const char* name) {
        auto* edit = new TLinkEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setFrameShape(QFrame::NoFrame);
        edit->setReadOnly(true);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, this->palette().color(QPalette::Window));
        edit->setPalette(palette);
        return edit;
    };
    leInfos = field("leInfos");
    TFont infos = leInfos->TextFont();
    infos.Name = font().family();
    infos.SetSize(10);
    leInfos->SetTextFont(infos);
    leInfos->setGeometry(kTextLeft, kMargin + 76, FrameWidth - kTextLeft - kMargin, 200);
    leClose = field("leClose");
    TFont close = leClose->TextFont();
    close.Name = font().family();
    close.SetSize(9);
    close.Color = clMaroon;
    close.Style = TFontStyles(fsBold | fsItalic);
    leClose->SetTextFont(close);
    leClose->setGeometry(FrameWidth - 300 - kMargin, FrameHeight - 40 - kMargin + 8, 300, 40);
}

QString TAboutFrame::UrlTarget(const QString& link) {
    QString target = link;
    if (target.endsWith(QChar(0x00A9)))
        target.chop(1);
    return target;
}

QString TAboutFrame::AuthorMailLink() {
    return kelvara::os::MailLink(kelvara::ZvContactAddress(),
                                 QStringLiteral("About ") + kelvara::ZvFullName());
}

void TAboutFrame::WireLinks() {
    leInfos->OnUrlClick = [this](const QString& link) {
        if (OpenUrl)
            OpenUrl(UrlTarget(link));
    };
    leInfos->OnUrlHint = [](const QString& link, QString& hint) {
        hint = QStringLiteral("Click to access the website ") + link;
    };
    leInfos->OnMailClick = [this](const QString&) {
        if (OpenUrl)
            OpenUrl(AuthorMailLink());
    };
    leInfos->OnMailHint = [](const QString&, QString& hint) {
        hint = QStringLiteral("Click to send an email to ") + kelvara::ZvAuthor();
    };
}
