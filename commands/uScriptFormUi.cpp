// The script window's widgets: the Pascal editor, the message pane, the tool bar, the button
// panel of the macro actions, the menus and the status bar, and their icons.
#include "commands/uNopeAction.h"
#include "commands/uScriptForm.h"
#include "commands/uSuperAction.h"
#include "commands/uWidestringAction.h"
#include "platform/ui/ImageList.h"
#include "shell/uFichierMan.h"
#include "shell/uZvControls.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

namespace {

constexpr int kMargin = 8;
constexpr int kPaneHeight = 120;
constexpr int kErrorMarker = 0;
constexpr int kErrorIndicator = 0;
constexpr int kSymbolMargin = 1;
const QColor kErrorColour(200, 30, 30);

// "Courier New" when it is installed, the system's fixed font otherwise.
QFont EditorFont() {
    const QString courier = QStringLiteral("Courier New");
    QFont font = QFontDatabase::families().contains(courier)
                     ? QFont(courier)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFixedPitch(true);
    font.setPointSize(10);
    return font;
}

QIcon StandardIcon(QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
}

// The recording icon: a red dot.
QIcon RecordIcon() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 0, 0), 1));
    painter.setBrush(QColor(220, 30, 30));
    painter.drawEllipse(QRectF(3.5, 3.5, 13, 13));
    return QIcon(pixmap);
}

// A small lettered picture, for commands that have no standard icon.
QIcon LetterIcon(const QString& letter) {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 60, 120), 1));
    painter.setBrush(QColor(225, 232, 245));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 3, 3);
    QFont font = QApplication::font();
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 30, 80));
    painter.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, letter);
    return QIcon(pixmap);
}

void SetIcon(TImageList* images, TCustomAbstractAction* action, const QIcon& icon) {
    if (action)
        action->SetImageIndex(images->Add(icon));
}

} // namespace

void TScriptForm::CreateEditor() {
    FEditor = new QsciScintilla(this);
    FEditor->setUtf8(true);
    FEditor->setEolMode(QsciScintilla::EolUnix);
    const QFont font = EditorFont();
    auto* lexer = new QsciLexerPascal(FEditor);
    lexer->setDefaultFont(font);
    lexer->setFont(font); // every style
    FEditor->setLexer(lexer);
    FEditor->setFont(font);
    FEditor->setMarginsFont(font);
    FEditor->setMarginType(0, QsciScintilla::NumberMargin);
    FEditor->setMarginLineNumbers(0, true);
    FEditor->setMarginWidth(0, QStringLiteral("00000"));
    FEditor->setMarginsBackgroundColor(QColor(236, 236, 236));
    FEditor->setMarginsForegroundColor(QColor(80, 80, 80));
    FEditor->setMarginType(kSymbolMargin, QsciScintilla::SymbolMargin);
    FEditor->setMarginWidth(kSymbolMargin, 14);
    FEditor->setMarginMarkerMask(kSymbolMargin, 1 << kErrorMarker);
    FEditor->SendScintilla(QsciScintillaBase::SCI_SETMARGINLEFT, 0, 4);
    // No horizontal scroll bar until a line is wider than the editor.
    FEditor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    FEditor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    FEditor->setCaretLineVisible(true);
    FEditor->setCaretLineBackgroundColor(QColor(255, 250, 215));
    FEditor->setBraceMatching(QsciScintilla::SloppyBraceMatch);
    FEditor->setAutoIndent(true);
    FEditor->setTabWidth(4);
    // A compiler error gets a red dot beside its line and a red squiggle under the word it names,
    // until the next execution.
    FEditor->markerDefine(QsciScintilla::Circle, kErrorMarker);
    FEditor->setMarkerBackgroundColor(kErrorColour, kErrorMarker);
    FEditor->setMarkerForegroundColor(kErrorColour.darker(), kErrorMarker);
    FEditor->indicatorDefine(QsciScintilla::SquiggleIndicator, kErrorIndicator);
    FEditor->setIndicatorForegroundColor(kErrorColour, kErrorIndicator);
    connect(FEditor, &QsciScintilla::textChanged, this, [this] { TextChanged(); });

    FMemo = new QPlainTextEdit(this);
    FMemo->setReadOnly(true);
    FMemo->setFont(font);
    FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
}

void TScriptForm::MarkError(int line, int index) {
    FEditor->markerAdd(line, kErrorMarker);
    // The word at the error, or the rest of the line when none starts there.
    const QString text = FEditor->text(line);
    const QList<uint> chars = text.toUcs4();
    int end = index;
    while (end < chars.size() &&
           (QChar::isLetterOrNumber(char32_t(chars[end])) || chars[end] == '_'))
        ++end;
    if (end == index)
        end = int(chars.size());
    while (end > index && QChar::isSpace(char32_t(chars[end - 1])))
        --end;
    FEditor->fillIndicatorRange(line, index, line, std::max(end, index + 1), kErrorIndicator);
}

void TScriptForm::ClearErrorMark() {
    FEditor->markerDeleteAll(kErrorMarker);
    FEditor->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kErrorIndicator);
    FEditor->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0,
                           FEditor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}

void TScriptForm::CreateToolBar() {
    auto* images = new TImageList(FFicman);
    FFicman->SetImages(images);
    SetIcon(images, FFicman->naNewFile, StandardIcon(QStyle::SP_FileIcon));
    SetIcon(images, FFicman->waOpenFile, StandardIcon(QStyle::SP_DialogOpenButton));
    SetIcon(images, FFicman->naPasteFile, LetterIcon(QStringLiteral("P")));
    SetIcon(images, FFicman->naSaveFile, StandardIcon(QStyle::SP_DialogSaveButton));
    SetIcon(images, FFicman->naParentFolder, StandardIcon(QStyle::SP_DirOpenIcon));
    auto* macroImages = new TImageList(FAlScript);
    FAlScript->SetImages(macroImages);
    SetIcon(macroImages, naStartMacro, RecordIcon());
    SetIcon(macroImages, naStopMacro, StandardIcon(QStyle::SP_MediaStop));
    SetIcon(macroImages, naExecuteMacro, StandardIcon(QStyle::SP_MediaPlay));

    FToolBar = addToolBar(QStringLiteral("Scripts"));
    FToolBar->setMovable(false);
    FToolBar->setFloatable(false);
    for (QAction* a : std::initializer_list<QAction*>{FFicman->naNewFile, FFicman->waOpenFile,
                                                      FFicman->naPasteFile, FFicman->naSaveFile,
                                                      FFicman->naParentFolder}) {
        auto* button = new TZvToolButton(FToolBar);
        button->SetAction(a);
        FToolBar->addWidget(button);
    }
    // The separator fills the width up to the last two buttons.
    auto* spacer = new QWidget(FToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    FToolBar->addWidget(spacer);
    FHelpButton = new TZvToolButton(FToolBar);
    FScriptPageButton = new TZvToolButton(FToolBar);
    FToolBar->addWidget(FHelpButton);
    FToolBar->addWidget(FScriptPageButton);
    FHelpButton->SetAction(nullptr);
    FScriptPageButton->SetAction(nullptr);
}

void TScriptForm::CreateButtonPanel() {
    FButtonPanel = new QWidget(this);
    auto* column = new QVBoxLayout(FButtonPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addStretch(1);
    for (QAction* a : std::initializer_list<QAction*>{naStartMacro, naStopMacro, naExecuteMacro}) {
        auto* button = new TZvToolButton(FButtonPanel);
        button->SetShowCaption(true);
        button->SetAction(a);
        button->setMinimumWidth(96);
        column->addWidget(button);
    }
}

void TScriptForm::CreateMenus() {
    QMenu* scripts = menuBar()->addMenu(QStringLiteral("Scripts"));
    AddActionItem(scripts, FFicman->naNewFile, QStringLiteral("New"));
    AddActionItem(scripts, FFicman->waOpenFile, QStringLiteral("Open"));
    AddActionItem(scripts, FFicman->naPasteFile, QStringLiteral("Paste"));
    AddActionItem(scripts, FFicman->naSaveFile, QStringLiteral("Save"));
    AddActionItem(scripts, FFicman->waSaveFileAs, QStringLiteral("Save as"));
    AddActionItem(scripts, FFicman->naParentFolder, QStringLiteral("Parent folder"));
    scripts->addSeparator();
    for (size_t i = 0; i < 5; ++i)
        AddActionItem(scripts, FFicman->naRecent[i]);
    scripts->addSeparator();
    FHelpItem = scripts->addAction(QStringLiteral("Help"));
    FHelpItem->setEnabled(false);
    connect(FHelpItem, &QAction::triggered, this, [this] {
        if (FHelpAction && FHelpAction->isEnabled())
            FHelpAction->trigger();
    });
    QAction* closeItem = scripts->addAction(QStringLiteral("Close"));
    connect(closeItem, &QAction::triggered, this, [this] { close(); });

    QMenu* macros = menuBar()->addMenu(QStringLiteral("Macros"));
    macros->addAction(naStartMacro);
    macros->addAction(naStopMacro);
    macros->addAction(naExecuteMacro);
}

void TScriptForm::CreateStatusBar() {
    FStatusName = new QLabel(this);
    FStatusState = new QLabel(this);
    FStatusState->setMinimumWidth(90);
    // The first panel takes the width that the second leaves.
    statusBar()->addWidget(FStatusName, 1);
    statusBar()->addPermanentWidget(FStatusState);
}

// The editor 8 pixels from the left and below the tool bar, taking the height that the pane, the
// status bar and the tool bar leave; the pane below it with its width; the button panel at the
// right with its bottom at the top of the pane.
void TScriptForm::LayOut() {
    auto* client = new QWidget(this);
    auto* grid = new QGridLayout(client);
    grid->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    grid->setHorizontalSpacing(kMargin);
    grid->setVerticalSpacing(kMargin);
    FEditor->setParent(client);
    FMemo->setParent(client);
    FButtonPanel->setParent(client);
    FMemo->setFixedHeight(kPaneHeight);
    grid->addWidget(FEditor, 0, 0);
    grid->addWidget(FButtonPanel, 0, 1, Qt::AlignBottom);
    grid->addWidget(FMemo, 1, 0);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);
    setCentralWidget(client);
}
