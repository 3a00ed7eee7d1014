// The main window's menus, toolbar and context menu, built from the actions of its lists in
// the order the user finds them; an action that the program does not have leaves no item.
#include "commands/uCheckAction.h"
#include "commands/uCustomAbstractAction.h"
#include "commands/uNopeAction.h"
#include "commands/uSuperAction.h"
#include "grabbing/main.h"
#include "grabbing/uNavframe.h"
#include "media/uNavMan.h"
#include "platform/ui/ImageList.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "presentation/uVideoMan.h"
#include "shell/uFichierMan.h"
#include "shell/uZvControls.h"

#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QToolBar>

namespace {

// A small picture with a few letters, for commands that have no standard icon.
QIcon GlyphIcon(const QString& glyph) {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 60, 120), 1));
    painter.setBrush(QColor(225, 232, 245));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 3, 3);
    QFont font = QApplication::font();
    font.setPixelSize(glyph.size() > 2 ? 7 : glyph.size() > 1 ? 9 : 12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 30, 80));
    painter.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

} // namespace

QAction* TShowForm::Find(const char* id) const {
    return FindAnyAction(QString::fromLatin1(id));
}

// Gives the action its picture through the window's image list; a check action may show another
// one while checked.
void TShowForm::SetActionIcon(const char* id, const QIcon& icon, const QIcon& checked) {
    auto* a = dynamic_cast<TCustomAbstractAction*>(Find(id));
    if (!a)
        return;
    if (a->ActionList() && !a->ActionList()->Images())
        a->ActionList()->SetImages(FImages);
    const int32_t index = FImages->Add(icon);
    if (auto* check = dynamic_cast<TCheckAction*>(a)) {
        check->SetFalseImageIndex(index);
        check->SetTrueImageIndex(checked.isNull() ? index : FImages->Add(checked));
    } else {
        a->SetImageIndex(index);
    }
}

void TShowForm::SetActionIcons() {
    FImages = new TImageList(this);
    QStyle* style = QApplication::style();
    const auto standard = [style](QStyle::StandardPixmap pixmap) {
        return style->standardIcon(pixmap);
    };
    SetActionIcon("waOpenFile", standard(QStyle::SP_DialogOpenButton));
    SetActionIcon("naCloseFile", standard(QStyle::SP_DialogCloseButton));
    SetActionIcon("naGrab", standard(QStyle::SP_DialogSaveButton));
    SetActionIcon("naParentFolder", standard(QStyle::SP_DirOpenIcon));
    SetActionIcon("caFullscreen", standard(QStyle::SP_TitleBarMaxButton),
                  standard(QStyle::SP_TitleBarNormalButton));
    SetActionIcon("caMute", standard(QStyle::SP_MediaVolume),
                  standard(QStyle::SP_MediaVolumeMuted));
    SetActionIcon("caPlay", standard(QStyle::SP_MediaPlay), standard(QStyle::SP_MediaPause));
    SetActionIcon("naReculeDebut", standard(QStyle::SP_MediaSkipBackward));
    SetActionIcon("naReculeHigh", standard(QStyle::SP_MediaSeekBackward));
    SetActionIcon("naAvanceHigh", standard(QStyle::SP_MediaSeekForward));
    SetActionIcon("naAvanceFin", standard(QStyle::SP_MediaSkipForward));
    const struct {
        const char* Id;
        const char* Glyph;
    } glyphs[] = {
        {"naPasteFile", "P"},         {"naCopy", "C"},
        {"caIntervalloShow", "Iv"},   {"caInsertTextOn", "Aa"},
        {"caFlipVertical", "\u2195"}, {"caFlipHorizontal", "\u2194"},
        {"naShowImagette", "Th"},     {"naShowSaveImages", "Nm"},
        {"naShowDVIncrust", "DV"},    {"naShowIncrust", "In"},
        {"naReculeMedium", "\u00ab"}, {"naReculeLow", "\u2039"},
        {"naAvanceLow", "\u203a"},    {"naAvanceMedium", "\u00bb"},
    };
    for (const auto& g : glyphs)
        SetActionIcon(g.Id, GlyphIcon(QString::fromUtf8(g.Glyph)));
    // The navigation bar's buttons, left to right.
    static const char* const nav[Tnavframe::ButtonCount] = {
        "naReculeDebut", "naReculeHigh",   "naReculeMedium", "naReculeLow", "caPlay",
        "naAvanceLow",   "naAvanceMedium", "naAvanceHigh",   "naAvanceFin"};
    for (int i = 0; i < Tnavframe::ButtonCount; ++i)
        navframe->Buttons[size_t(i)]->SetAction(Find(nav[i]));
    ParentFolderBtn->SetAction(ficman->naParentFolder);
}

// The items in order; an action the program does not have leaves none.
void TShowForm::AddMenuItems(QMenu* menu, std::initializer_list<TMenuItem> items) const {
    for (const TMenuItem& item : items) {
        if (!item.Id)
            menu->addSeparator();
        else
            AddActionItem(menu, Find(item.Id),
                          item.Caption ? QString::fromLatin1(item.Caption) : QString());
    }
}

void TShowForm::CreateMenus() {
    const auto menu = [this](const QString& title, std::initializer_list<TMenuItem> items) {
        QMenu* m = menuBar()->addMenu(title);
        AddMenuItems(m, items);
        for (const TMenuItem& item : items)
            if (QAction* a = item.Id ? Find(item.Id) : nullptr)
                FMenuOrder.append(a);
        return m;
    };
    QMenu* files =
        menu(QStringLiteral("Files"), {{"waOpenFile"}, {"naPasteFile"}, {"naCloseFile"}, Sep});
    for (TNopeAction* recent : ficman->naRecent)
        AddActionItem(files, recent);
    menu(QStringLiteral("Video"), {{"caFullscreen"},
                                   {"caPreviewform"},
                                   {"caBasculerVue"},
                                   Sep,
                                   {"caFlipVertical"},
                                   {"caFlipHorizontal"},
                                   Sep,
                                   {"naForcerNormal", "Aspect Normal"},
                                   {"naForcer4x3", "Force 4x3"},
                                   {"naForcer16x9", "Force 16x9"},
                                   {"naForcerNative", "Aspect Native"},
                                   Sep,
                                   {"caMute"}});
    menu(QStringLiteral("Images"), {{"naGrab"},
                                    {"naCopy"},
                                    Sep,
                                    {"naBmpExtension"},
                                    {"naJpegExtension"},
                                    {"naAjouterTimeStamp"},
                                    {"naAjouterNumero"},
                                    {"baImageDeinterlacer"},
                                    Sep,
                                    {"naShowImagette"},
                                    {"naShowSaveImages"}});
    menu(QStringLiteral("Inlay"), {{"caInsertTextOn"},
                                   {"caSliders"},
                                   {"naInsertTimestamp"},
                                   {"naInsertNumero"},
                                   {"naInsertDatecode"},
                                   {"naInsertTimecode"},
                                   {"naInsertSysdateTime"},
                                   {"naInsertPerso"},
                                   Sep,
                                   {"naShowDVIncrust"},
                                   {"naShowIncrust"}});
    QMenu* help =
        menu(QStringLiteral("?"),
             {{"caHelp"}, {"caScript"}, {"caOptions"}, {"caAbout"}, {"naHomePage"}, {"naQuit"}});
    if (help->isEmpty())
        menuBar()->removeAction(help->menuAction());
}

void TShowForm::CreateToolBar() {
    barUnique = new QToolBar(Client);
    barUnique->setObjectName(QStringLiteral("barUnique"));
    barUnique->setIconSize(QSize(20, 20));
    barUnique->setMovable(false);
    int separator = 0;
    const auto addSeparator = [&] {
        auto* s = new QWidget(barUnique);
        s->setFixedWidth(8);
        ToolSeparators[size_t(separator++)] = s;
        barUnique->addWidget(s);
    };
    const auto add = [this](const char* id) {
        QAction* a = Find(id);
        if (!a)
            return static_cast<TZvToolButton*>(nullptr);
        auto* button = new TZvToolButton(barUnique);
        button->SetAction(a);
        barUnique->addWidget(button);
        return button;
    };
    for (const char* id : {"waOpenFile", "naPasteFile", "naCloseFile"})
        add(id);
    addSeparator();
    for (const char* id : {"naGrab", "naCopy", "caIntervalloShow"})
        add(id);
    addSeparator();
    for (const char* id :
         {"caFullscreen", "caMute", "caInsertTextOn", "caFlipVertical", "caFlipHorizontal"})
        add(id);
    addSeparator();
    static const char* const pages[] = {"naShowImagette", "naShowSaveImages", "naShowDVIncrust",
                                        "naShowIncrust"};
    for (int i = 0; i < 4; ++i) {
        PageButtons[size_t(i)] = add(pages[i]);
        PageButtons[size_t(i)]->SetGroupIndex(1);
    }
    addSeparator();
    for (const char* id : {"caHelp", "caScript", "caOptions", "caAbout", "naQuit"})
        add(id);
}

void TShowForm::CreatePopupMenu() {
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto add = [this](QMenu* m, std::initializer_list<TMenuItem> items) {
        AddMenuItems(m, items);
    };
    add(PopupMenu, {{"naGrab"},
                    {"naCopy"},
                    Sep,
                    {"caFullscreen"},
                    Sep,
                    {"naForcerNormal", "Aspect Normal"},
                    {"naForcerNative", "Aspect Native"},
                    {"naForcer4x3", "Force 4x3"},
                    {"naForcer16x9", "Force 16x9"},
                    Sep,
                    {"caMute"},
                    {"caInsertTextOn"},
                    {"caFlipVertical"},
                    {"caFlipHorizontal"},
                    Sep,
                    {"caSliders"},
                    Sep});
    QMenu* settings = PopupMenu->addMenu(QStringLiteral("Settings panel"));
    settings->menuAction()->setToolTip(QStringLiteral("Display the panels to change settings"));
    settings->menuAction()->setStatusTip(settings->menuAction()->toolTip());
    add(settings, {{"naShowSaveImages"},
                   {"naShowImagette"},
                   {"naShowIncrust"},
                   {"caOptions"},
                   {"caScript"},
                   {"caHelp"},
                   {"caAbout"}});
    PopupMenu->addSeparator();
    for (int i = 0; i < 4; ++i)
        AddActionItem(PopupMenu, ficman->naRecent[size_t(i)]);
    PopupMenu->addSeparator();
    add(PopupMenu, {{"naQuit"}});
}

// The main menu is searched first, in menu order, then the lists: the first action that has a key
// keeps it as a shortcut of the window, later ones keep it only as their shortcut text (which
// the help shows), so that the key runs one command instead of none.
void TShowForm::ResolveSharedShortcuts() {
    QList<QAction*> order = FMenuOrder;
    for (TCustomZvActionList* list : ActionLists())
        for (TCustomAbstractAction* a : list->TypedActions())
            order.append(a);
    QList<QKeySequence> taken;
    QList<QAction*> seen;
    for (QAction* a : order) {
        if (seen.contains(a))
            continue;
        seen.append(a);
        QList<QKeySequence> kept;
        for (const QKeySequence& key : a->shortcuts())
            if (!taken.contains(key))
                kept.append(key);
        if (kept.size() != a->shortcuts().size())
            a->setShortcuts(kept);
        taken.append(kept);
    }
}
