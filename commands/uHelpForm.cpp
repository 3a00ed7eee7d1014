#include "commands/uHelpForm.h"

#include "commands/uCustomAbstractAction.h"
#include "commands/uSuperAction.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ShortCuts.h"
#include "shell/uLinkEdit.h"

#include <QCloseEvent>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

namespace {

constexpr int kMargin = 8;
constexpr int kPagesWidth = 240;

const QString& NoKey() {
    static const QString zzz = QStringLiteral("zzz");
    return zzz;
}

TFont FieldFont(TColor color, int size, TFontStyles style) {
    TFont font;
    font.Name = QFont().family();
    font.Color = color;
    font.SetSize(size);
    font.Style = style;
    return font;
}

void SetBackground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
}

TLinkEdit* NewField(QWidget* parent, const TFont& font, const QColor& background) {
    auto* field = new TLinkEdit(parent);
    field->SetTextFont(font);
    SetBackground(field, background);
    return field;
}

// The declaration, highlighted as the script editor shows scripts.
QsciScintilla* NewSyntaxField(QWidget* parent) {
    auto* field = new QsciScintilla(parent);
    QFont courier(QStringLiteral("Courier New"), 10);
    courier.setStyleHint(QFont::Monospace);
    auto* lexer = new QsciLexerPascal(field);
    lexer->setDefaultFont(courier);
    lexer->setFont(courier); // every style
    field->setLexer(lexer);
    field->setReadOnly(true);
    field->setMarginWidth(0, 0);
    field->setMarginWidth(1, 0);
    field->setWrapMode(QsciScintilla::WrapWord);
    field->setCaretWidth(0);
    field->setCaretLineVisible(false);
    field->SendScintilla(QsciScintillaBase::SCI_SETHSCROLLBAR, 0L);
    return field;
}

// A field shows each text from its own font: attributes left by the previous entry's text (an
// italic comment field after a comment that ended italics) must not carry over to the next one.
void ShowMarkup(TLinkEdit* field, const QString& markup) {
    field->SetTextFont(field->TextFont());
    field->SetRichText(markup);
}

QString NameText(TCustomAbstractAction& action) {
    return action.ScriptName + QStringLiteral("    <size 12><color Black>") +
           ShortCutToText(action.ShortCut()) + QStringLiteral("</color></size>");
}

QString SwitchText(TCustomAbstractAction& action) {
    const QString syntax =
        action.Switch.isEmpty() ? QStringLiteral("N/A") : action.GetSwitchSyntax();
    return QStringLiteral("<i>Switch:    </i><B><color Navy><size 10>") + syntax +
           QStringLiteral("</size></color></B>");
}

} // namespace

TActionObjet::TActionObjet(TCustomAbstractAction* action)
    : TAbstractListObjet(action ? action->ScriptName : QString(),
                         action ? action->ScriptName : QString()),
      FAction(action) {}

QString TActionObjet::GetSortKey(const TSortIndex& index) const {
    if (index.Key == SortAlpha().Key)
        return FAction ? FAction->ScriptName : AlphaKey();
    if (index.Key == SortShortcut().Key) {
        const QString shortcut = FAction ? ShortCutToText(FAction->ShortCut()) : QString();
        return (shortcut.isEmpty() ? NoKey() : shortcut) + AlphaKey();
    }
    if (index.Key == SortSwitch().Key) {
        const QString name = FAction ? FAction->Switch : QString();
        return (name.isEmpty() ? NoKey() : name) + AlphaKey();
    }
    return QString();
}

THelpForm::THelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Help for Shortcuts, Scripts and Macros"));
    // A help window left open must not keep the program running once the main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    pc = new QTabWidget(this);
    pc->setUsesScrollButtons(true);
    leName = NewField(this, FieldFont(clBlue, 14, fsBold), ToQColor(TColor(0xC0FFC0)));
    leHint = NewField(this, FieldFont(clBlack, 9, 0), palette().color(QPalette::ToolTipBase));
    leSyntaxe = NewSyntaxField(this);
    leSwitch = NewField(this, FieldFont(clBlack, 9, 0), ToQColor(clSilver));
    leCommentaire =
        NewField(this, FieldFont(clBlack, 9, fsItalic), palette().color(QPalette::Base));

    pmenu = new QMenu(this);
    connect(pmenu->addAction(QStringLiteral("Alphabetical order")), &QAction::triggered, this,
            [this] { SortAll(SortAlpha()); });
    connect(pmenu->addAction(QStringLiteral("Sort by Shortcuts")), &QAction::triggered, this,
            [this] { SortAll(SortShortcut()); });
    connect(pmenu->addAction(QStringLiteral("Sort by Switch")), &QAction::triggered, this,
            [this] { SortAll(SortSwitch()); });
    connect(pc, &QTabWidget::currentChanged, this, [this] { ShowDetails(); });

    setMinimumSize(480, 320);
    resize(780, 480);
}

THelpForm::~THelpForm() = default;

void THelpForm::SetClosedHandler(std::function<void()> handler) {
    FClosedHandler = std::move(handler);
}

TObjetListBox* THelpForm::ListBox(const QString& pageName) const {
    for (int i = 0; i < pc->count(); ++i)
        if (pc->tabText(i) == pageName)
            return pc->widget(i)->findChild<TObjetListBox*>();
    return nullptr;
}

TObjetListBox* THelpForm::VisibleListBox() const {
    QWidget* page = pc->currentWidget();
    return page ? page->findChild<TObjetListBox*>() : nullptr;
}

TObjetListBox* THelpForm::CreatePage(const QString& pageName) {
    auto* page = new QWidget(pc);
    page->setObjectName(pageName);
    auto* lb = new TObjetListBox(page);
    lb->setObjectName(QStringLiteral("lb%1").arg(pc->count() + 1));
    lb->SetSortIndex(SortAlpha());
    lb->setToolTip(QStringLiteral("Click with the right button to sort"));
    lb->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lb, &QWidget::customContextMenuRequested, this,
            [this, lb](const QPoint& pos) { pmenu->popup(lb->viewport()->mapToGlobal(pos)); });
    connect(lb, &QListWidget::itemClicked, this, [this] { ShowDetails(); });
    connect(lb, &QListWidget::itemDoubleClicked, this, [this] { RunSelected(); });
    // Keys move the selection too; the details follow the entry that becomes active.
    lb->OnActiveChange = [this](TAbstractListObjet*) { ShowDetails(); };
    // The list box fills its page.
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lb);
    pc->addTab(page, pageName);
    return lb;
}

void THelpForm::AddList(const QString& pageName, TCustomZvActionList* list) {
    TObjetListBox* lb = ListBox(pageName);
    if (!lb)
        lb = CreatePage(pageName);
    if (list)
        for (TCustomAbstractAction* action : list->TypedActions())
            lb->AddObjet(std::make_unique<TActionObjet>(action), false);
    if (lb->count() > 0) {
        lb->SetSortIndex(SortAlpha());
        lb->Resort();
        lb->Select(0);
        ShowDetails();
    }
}

void THelpForm::SortAll(const TSortIndex& index) {
    for (int i = 0; i < pc->count(); ++i) {
        if (auto* lb = pc->widget(i)->findChild<TObjetListBox*>()) {
            lb->SetSortIndex(index);
            lb->Resort();
        }
    }
}

void THelpForm::ShowDetails() {
    TObjetListBox* lb = VisibleListBox();
    const auto* entry = lb ? dynamic_cast<TActionObjet*>(lb->Objet(lb->SelectedIndex())) : nullptr;
    if (entry && entry->Action())
        ShowAction(entry->Action());
    else
        ClearDetails();
}

void THelpForm::ShowAction(TCustomAbstractAction* action) {
    ShowMarkup(leName, NameText(*action));
    ShowMarkup(leHint, action->Hint());
    QString declaration = action->GetDeclaration();
    declaration.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    leSyntaxe->setText(declaration);
    ShowMarkup(leSwitch, SwitchText(*action));
    ShowMarkup(leCommentaire, action->Comments.join(QStringLiteral("<br>")));
}

void THelpForm::ClearDetails() {
    for (TLinkEdit* field : {leName, leHint, leSwitch, leCommentaire})
        ShowMarkup(field, QString());
    leSyntaxe->clear();
}

void THelpForm::RunSelected() {
    TObjetListBox* lb = VisibleListBox();
    const auto* entry = lb ? dynamic_cast<TActionObjet*>(lb->Objet(lb->SelectedIndex())) : nullptr;
    // trigger() is what a menu item does: nothing while the action is disabled.
    if (entry && entry->Action())
        entry->Action()->trigger();
}

bool THelpForm::event(QEvent* event) {
    const bool result = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        ShowDetails();
    return result;
}

void THelpForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted() && FClosedHandler)
        FClosedHandler();
}

void THelpForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
}

void THelpForm::LayoutControls() {
    const int bottom = height() - kMargin;
    pc->setGeometry(kMargin, kMargin, kPagesWidth, std::max(0, bottom - kMargin));
    const int left = pc->geometry().right() + 1 + kMargin;
    const int width = std::max(0, this->width() - kMargin - left);
    leName->setGeometry(left, kMargin, width, 44);
    leHint->setGeometry(left, 60, width, 64);
    leSyntaxe->setGeometry(left, 132, width, 56);
    leSwitch->setGeometry(left, 196, width, 34);
    leCommentaire->setGeometry(left, 238, width, std::max(0, bottom - 238));
}
