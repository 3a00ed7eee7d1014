#include "preferences/uPreferences.h"

#include "platform/ui/DialogService.h"
#include "platform/ui/ProcessMessages.h"
#include "preferences/uIniPreferencesMan.h"
#include "preferences/uNonePreferencesMan.h"
#include "preferences/uRegPreferencesMan.h"
#include "preferences/uSavePrefs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>

namespace {

// The first punctuation of a locale's date or time format, e.g. "/" of "dd/MM/yyyy".
QChar SeparatorOf(const QString& format, QChar fallback) {
    for (const QChar c : format)
        if (!c.isLetter() && !c.isSpace() && c != u'\'')
            return c;
    return fallback;
}

// "yyyy/mm/dd hh:mm:ss" with the locale's date and time separators.
QString LastSavingText(const QDateTime& now) {
    const QLocale locale;
    const QChar date = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
    const QChar time = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
    const QDate d = now.date();
    const QTime t = now.time();
    return QStringLiteral("%1").arg(d.year(), 4, 10, QChar(u'0')) + date + two(d.month()) + date +
           two(d.day()) + u' ' + two(t.hour()) + time + two(t.minute()) + time + two(t.second());
}

// A headless run whose questions nobody answers (no scripted presenter): asking for the save mode
// would keep the window open for ever.
bool NobodyCanAnswer() {
    const QString platform = QGuiApplication::platformName();
    if (platform != u"offscreen" && platform != u"minimal")
        return false;
    TDialogService::TPresenter presenter = DialogService().SetPresenter({});
    const bool builtIn = !presenter;
    DialogService().SetPresenter(std::move(presenter));
    return builtIn;
}

} // namespace

TTaskelPreferences::TTaskelPreferences(QObject* owner)
    : QObject(owner), FProgramFolder(QCoreApplication::applicationDirPath() + u'/'),
      FStore(std::make_unique<TNonePreferencesMan>()), FDialog(std::make_unique<TSavePrefsForm>()) {
    FOwner = qobject_cast<QWidget*>(owner);
}

TTaskelPreferences::~TTaskelPreferences() {
    FStore.reset();
}

void TTaskelPreferences::SetProgramFolder(const QString& folder) {
    FProgramFolder = folder.endsWith(u'/') ? folder : folder + u'/';
}

QString TTaskelPreferences::IniFileName() const {
    return FProgramFolder + Ftitre + QStringLiteral(".ini");
}

QString TTaskelPreferences::RegistryKey() const {
    return AuthorKey() + u'\\' + Ftitre;
}

void TTaskelPreferences::SetMode(TSavePreferences mode) {
    if (mode == FMode)
        return;
    FMode = mode;
    CreateStore();
}

TSavePreferences TTaskelPreferences::DetectMode() const {
    if (QFile::exists(IniFileName()))
        return spPortable;
    if (RegistryKeyExists(RegistryKey()))
        return spRegistre;
    return spNone;
}

void TTaskelPreferences::CreateStore() {
    FStore.reset();
    switch (FMode) {
    case spRegistre:
        FStore = std::make_unique<TRegPreferencesMan>(RegistryKey(), true);
        break;
    case spPortable:
        FStore = std::make_unique<TIniPreferencesMan>(IniFileName(), true);
        break;
    case spNone:
        FStore = std::make_unique<TNonePreferencesMan>();
        break;
    }
    if (OnChangeMode)
        OnChangeMode(FMode);
    if (FMode != spPortable)
        DeleteIniFile(FProgramFolder, Ftitre);
    if (FMode != spRegistre)
        DeleteRegistryTree(Ftitre);
}

bool TTaskelPreferences::WriteHeader(const QString& version) {
    while (!FStore->OpenPath().isEmpty())
        if (!FStore->CloseKey())
            break;
    const bool v = FStore->WriteString(QStringLiteral("Version"), version);
    const bool l = FStore->WriteString(QStringLiteral("Last saving"),
                                       LastSavingText(QDateTime::currentDateTime()));
    const bool e =
        FStore->WriteString(QStringLiteral("ExeName"), QCoreApplication::applicationFilePath());
    return v && l && e;
}

void TTaskelPreferences::LoadAll(const std::function<void()>& ownerShow) {
    if (FLoaded) {
        if (ownerShow)
            ownerShow();
        return;
    }
    FLoaded = true;
    ProcessMessages();
    FMode = DetectMode();
    CreateStore();
    if (ownerShow)
        ownerShow();
    if (OnLoadPrefs)
        OnLoadPrefs(*this);
}

void TTaskelPreferences::SaveAll(bool& canClose,
                                 const std::function<void(bool&)>& ownerCloseQuery) {
    if (ownerCloseQuery) {
        ownerCloseQuery(canClose);
        if (!canClose) // the window stays open: its next close saves
            return;
    }
    if (FSaved)
        return;
    FDialog->setWindowTitle(QStringLiteral("Saving the preferences of %1").arg(Ftitre));
    if (FMode == spNone && !NobodyCanAnswer()) {
        const std::optional<TSavePreferences> chosen = AskMode();
        if (!chosen) {
            canClose = false;
            return;
        }
        FMode = *chosen;
        CreateStore();
    }
    if (FMode != spNone) {
        FStore->BeginUpdate();
        WriteHeader(Fversion);
        if (OnSavePrefs)
            OnSavePrefs(*this);
        FStore->EndUpdate();
    }
    FSaved = true;
}

std::optional<TSavePreferences> TTaskelPreferences::AskMode() {
    TDialogRequest request = TSavePrefsForm::Request(FDialog->windowTitle());
    request.CustomDialog = [this](const TDialogRequest& r) {
        if (FOwner)
            FDialog->move(FOwner->geometry().center() - FDialog->rect().center());
        const std::optional<TSavePreferences> mode = FDialog->Execute();
        return mode ? TSavePrefsForm::ResultOf(*mode) : r.CancelResult;
    };
    return TSavePrefsForm::ModeOf(DialogService().Ask(request));
}

bool TTaskelPreferences::OpenSection(const QString& name) {
    return Active() && FStore->OpenKey(name, true);
}

bool TTaskelPreferences::CloseSection() {
    return Active() && FStore->CloseKey();
}

bool TTaskelPreferences::ReadSubSections(QStringList& list) {
    return Active() && FStore->ReadSubKeys(list);
}

QString TTaskelPreferences::ReadString(const QString& key, const QString& def) {
    QString value;
    return Active() && FStore->ReadString(key, value) ? value : def;
}

int32_t TTaskelPreferences::ReadInteger(const QString& key, int32_t def) {
    int32_t value = def;
    return Active() && FStore->ReadInteger(key, value) ? value : def;
}

bool TTaskelPreferences::ReadBool(const QString& key, bool def) {
    bool value = def;
    return Active() && FStore->ReadBool(key, value) ? value : def;
}

double TTaskelPreferences::ReadFloat(const QString& key, double def) {
    double value = def;
    return Active() && FStore->ReadFloat(key, value) ? value : def;
}

TPoint TTaskelPreferences::ReadPoint(const QString& key, const TPoint& def) {
    TPoint value = def;
    return Active() && ::ReadPoint(*FStore, key, value) ? value : def;
}

TRect TTaskelPreferences::ReadRect(const QString& key, const TRect& def) {
    TRect value = def;
    return Active() && ::ReadRect(*FStore, key, value) ? value : def;
}

void TTaskelPreferences::ReadFont(const QString& key, const TFont& def, TFont& target) {
    if (!Active() || !::ReadFont(*FStore, key, target))
        target = def;
}

bool TTaskelPreferences::WriteString(const QString& key, const QString& value) {
    return Active() && FStore->WriteString(key, value);
}

bool TTaskelPreferences::WriteInteger(const QString& key, int32_t value) {
    return Active() && FStore->WriteInteger(key, value);
}

bool TTaskelPreferences::WriteBool(const QString& key, bool value) {
    return Active() && FStore->WriteBool(key, value);
}

bool TTaskelPreferences::WriteFloat(const QString& key, double value) {
    return Active() && FStore->WriteFloat(key, value);
}

bool TTaskelPreferences::WritePoint(const QString& key, const TPoint& value) {
    return Active() && ::WritePoint(*FStore, key, value);
}

bool TTaskelPreferences::WriteRect(const QString& key, const TRect& value) {
    return Active() && ::WriteRect(*FStore, key, value);
}

bool TTaskelPreferences::WriteFont(const QString& key, const TFont& value) {
    return Active() && ::WriteFont(*FStore, key, value);
}
