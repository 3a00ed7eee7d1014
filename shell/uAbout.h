#pragma once
// TAboutFrame: the content of the about page, 626 x 357: the program's picture and a film strip,
// the title (the program's full name), a bevel, the information field with its web and mail
// links and the close field. The application manager fills the texts each time it shows the page.
//
// Links of the information field: a web link opens its target with the desktop's default handler
// (a trailing "©" of the target is dropped first); a mail link starts a mail to the author about
// the program. Both say where they lead in their hint. GUI thread only.
#include <functional>

#include <QFrame>
#include <QString>

class QLabel;
class TLinkEdit;

class TAboutFrame : public QFrame {
public:
    static constexpr int FrameWidth = 626;
    static constexpr int FrameHeight = 357;

    explicit TAboutFrame(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr; // the program's picture
    QLabel* Image2 = nullptr; // a film strip under it
    QLabel* labTitre = nullptr;
    QFrame* Bevel1 = nullptr;
    TLinkEdit* leClose = nullptr;
    TLinkEdit* leInfos = nullptr;

    // Opens an address with the desktop (replaceable: tests note the address instead). Its
    // result is not reported to the user.
    std::function<bool(const QString& address)> OpenUrl;

    // The web link's target as it is opened: without a trailing "©".
    static QString UrlTarget(const QString& link);
    // The mail that a mail link starts.
    static QString AuthorMailLink();

private:
    void CreateImages();
    void CreateTitle();
    void CreateFields();
    void WireLinks();
};
