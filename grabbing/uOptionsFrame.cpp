#include "grabbing/uOptionsFrame.h"

#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uWidestringAction.h"
#include "platform/ui/Colors.h"
#include "preferences/uPreferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

namespace {

constexpr int kLeft = 12;
constexpr int kRight = 304;
constexpr int kColumn = 284;

QGroupBox* Group(QWidget* parent, const QString& title, int x, int y, int height) {
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(x, y, kColumn - (x == kLeft ? 4 : 0), height);
    return box;
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& text, int y) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(10, y, parent->width() - 20, 22);
    return box;
}

QSpinBox* Spin(QWidget* parent, const char* name, const QString& label, int y, int maximum) {
    auto* text = new QLabel(label, parent);
    text->setGeometry(10, y + 2, parent->width() - 98, 20);
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, maximum);
    box->setGeometry(parent->width() - 82, y, 72, 24);
    return box;
}

QLineEdit* FolderEdit(QWidget* parent, const char* name, int y) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(10, y, parent->width() - 52, 24);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

TOptionsFrame::TOptionsFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("OptionsFrame"));
    setFixedSize(FrameWidth, FrameHeight);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    setPalette(palette);
    ChooseFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Folder of the scripts"),
                                                 start);
    };
    auto* title = new QLabel(QStringLiteral("Settings"), this);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 3);
    title->setFont(font);
    title->setGeometry(kLeft, 8, 300, 26);
    CreatePrefsGroup();
    CreateNavigationGroup();
    CreateDecodersGroup();
    CreateScriptsGroup();
    CreateImagesGroup();
    // Until they are bound, the controls change nothing.
    for (QWidget* w : std::initializer_list<QWidget*>{
             rgPrefs, cbNavPrecise, seSeekPrepos, seMaxSynchro, cbConserverScripts,
             deDossierScripts, DossierScriptsButton, cbUsePrivateFilters, dePrivateFolder,
             PrivateFolderButton, cbConfirmerImage, cbRAZwhenOpenFile, cbSauverQuandClic})
        w->setEnabled(false);
}

void TOptionsFrame::CreatePrefsGroup() {
    rgPrefs = Group(this, QStringLiteral("Keep the settings"), kLeft, 40, 104);
    rgPrefs->setObjectName(QStringLiteral("rgPrefs"));
    PrefsItems = new QButtonGroup(rgPrefs);
    const QString items[] = {QStringLiteral("Normal Mode (registry)"),
                             QStringLiteral("Portable Mode (USB key)"),
                             QStringLiteral("Do not save when quit")};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(items[i], rgPrefs);
        item->setGeometry(10, 22 + i * 26, rgPrefs->width() - 20, 22);
        PrefsItems->addButton(item, i);
    }
}

void TOptionsFrame::CreateNavigationGroup() {
    QGroupBox* group = Group(this, QStringLiteral("Navigation and inlay"), kLeft, 152, 104);
    cbNavPrecise = Check(group, "cbNavPrecise", QStringLiteral("Frame-exact steps and seeks"), 22);
    seSeekPrepos =
        Spin(group, "seSeekPrepos", QStringLiteral("Pre-position of a seek (ms)"), 48, 600000);
    seMaxSynchro =
        Spin(group, "seMaxSynchro", QStringLiteral("Inlay's maximum lag (ms)"), 74, 10000);
}

void TOptionsFrame::CreateDecodersGroup() {
    QGroupBox* group = Group(this, QStringLiteral("Private decoders"), kLeft, 264, 92);
    cbUsePrivateFilters =
        Check(group, "cbUsePrivateFilters", QStringLiteral("Use private filters"), 22);
    dePrivateFolder = FolderEdit(group, "dePrivateFolder", 52);
    dePrivateFolder->setToolTip(QStringLiteral("Folder where are located the Private Filters"));
    PrivateFolderButton = new QToolButton(group);
    PrivateFolderButton->setText(QStringLiteral("..."));
    PrivateFolderButton->setGeometry(group->width() - 38, 52, 28, 24);
}

void TOptionsFrame::CreateScriptsGroup() {
    QGroupBox* group = Group(this, QStringLiteral("Scripts"), kRight, 40, 104);
    cbConserverScripts =
        Check(group, "cbConserverScripts", QStringLiteral("Reopen the last script at start"), 22);
    auto* label = new QLabel(QStringLiteral("Folder of the scripts"), group);
    label->setGeometry(10, 48, 200, 20);
    deDossierScripts = FolderEdit(group, "deDossierScripts", 70);
    DossierScriptsButton = new QToolButton(group);
    DossierScriptsButton->setText(QStringLiteral("..."));
    DossierScriptsButton->setGeometry(group->width() - 38, 70, 28, 24);
}

void TOptionsFrame::CreateImagesGroup() {
    QGroupBox* group = Group(this, QStringLiteral("Images"), kRight, 152, 104);
    cbConfirmerImage =
        Check(group, "cbConfirmerImage", QStringLiteral("Ask before overwriting an image"), 22);
    cbRAZwhenOpenFile =
        Check(group, "cbRAZwhenOpenFile", QStringLiteral("Number from 1 again for each video"), 48);
    cbSauverQuandClic = Check(group, "cbSauverQuandClic",
                              QStringLiteral("A click on the video saves the image"), 74);
    cbSauverQuandClic->setToolTip(
        QStringLiteral("Otherwise a click on the video copies the image to the clipboard"));
}

// ---- bindings

void TOptionsFrame::Bind(const TBindings& b) {
    BindPrefs(b.gp);
    BindCheck(cbNavPrecise, b.caSeekPrecision);
    BindInteger(seSeekPrepos, b.iaSeekPrepos);
    BindInteger(seMaxSynchro, b.iaMaxSynchro);
    BindCheck(cbConserverScripts, b.caConserverScript);
    BindFolder(deDossierScripts, DossierScriptsButton, b.waDossierScripts, false);
    BindBoolean(cbUsePrivateFilters, b.baUsePrivateFilters);
    BindFolder(dePrivateFolder, PrivateFolderButton, b.waPrivateFolder, true);
    BindBoolean(cbConfirmerImage, b.baConfirmerImage);
    BindBoolean(cbRAZwhenOpenFile, b.baRAZWhenOpenFile);
    BindBoolean(cbSauverQuandClic, b.baSauverQuandClic);
}

void TOptionsFrame::BindPrefs(TTaskelPreferences* gp) {
    if (!gp)
        return;
    rgPrefs->setEnabled(true);
    const auto show = [this](TSavePreferences mode) {
        const QSignalBlocker block(PrefsItems);
        if (QAbstractButton* item = PrefsItems->button(int(mode)))
            item->setChecked(true);
    };
    show(gp->Mode());
    connect(PrefsItems, &QButtonGroup::idClicked, this,
            [gp](int id) { gp->SetMode(TSavePreferences(id)); });
    gp->OnChangeMode = [previous = gp->OnChangeMode, show](TSavePreferences mode) {
        if (previous)
            previous(mode);
        show(mode);
    };
}

void TOptionsFrame::BindCheck(QCheckBox* box, TCheckAction* action) {
    if (!action)
        return;
    box->setEnabled(true);
    box->setChecked(action->Checked());
    connect(box, &QCheckBox::clicked, this, [action](bool on) { action->SetChecked(on); });
    const auto follow = [box](TApplyNopeEvent previous, bool on) {
        return [previous = std::move(previous), box, on] {
            if (previous)
                previous();
            const QSignalBlocker block(box);
            box->setChecked(on);
        };
    };
    action->OnAfterTrueApply = follow(action->OnAfterTrueApply, true);
    action->OnAfterFalseApply = follow(action->OnAfterFalseApply, false);
}

void TOptionsFrame::BindBoolean(QCheckBox* box, TBooleanAction* action) {
    if (!action)
        return;
    box->setEnabled(true);
    box->setChecked(action->Value());
    connect(box, &QCheckBox::clicked, this, [action](bool on) { action->SetValue(on); });
    action->OnAfterApply = [previous = action->OnAfterApply, box](const bool& on) {
        if (previous)
            previous(on);
        const QSignalBlocker block(box);
        box->setChecked(on);
    };
}

void TOptionsFrame::BindInteger(QSpinBox* box, TIntegerAction* action) {
    if (!action)
        return;
    box->setEnabled(true);
    box->setValue(action->Value());
    connect(box, &QSpinBox::valueChanged, this, [action](int value) { action->SetValue(value); });
    action->OnAfterApply = [previous = action->OnAfterApply, box](const int32_t& value) {
        if (previous)
            previous(value);
        const QSignalBlocker block(box);
        box->setValue(value);
    };
}

void TOptionsFrame::BindFolder(QLineEdit* edit, QToolButton* button, TWidestringAction* action,
                               bool trailingDelimiter) {
    if (!action)
        return;
    edit->setEnabled(true);
    button->setEnabled(true);
    edit->setText(action->Value());
    connect(button, &QToolButton::clicked, this, [this, edit, action, trailingDelimiter] {
        QString chosen = ChooseFolder ? ChooseFolder(edit->text()) : QString();
        if (chosen.isEmpty())
            return;
        if (trailingDelimiter && !chosen.endsWith(u'/'))
            chosen += u'/';
        action->SetValue(chosen);
    });
    action->OnAfterApply = [previous = action->OnAfterApply, edit,
                            trailingDelimiter](const QString& folder) {
        if (previous)
            previous(folder);
        edit->setText(trailingDelimiter && !folder.isEmpty() && !folder.endsWith(u'/')
                          ? folder + u'/'
                          : folder);
    };
}
