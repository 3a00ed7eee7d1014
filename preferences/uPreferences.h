#pragma once
// TTaskelPreferences: the component that decides where the settings live and when they are read
// and written, and the typed reads and writes that actions and managers use.
//
// Its owner window calls LoadAll from its first show and SaveAll from its close. LoadAll detects
// the save mode, opens the matching store, runs the window's own show handling, then raises
// OnLoadPrefs. SaveAll, once the window's own close handling has agreed, asks for a save mode if
// none is in force (the save-mode question goes through the dialog service; leaving it unanswered
// keeps the window open), writes the header and raises OnSavePrefs. Each does its work once per
// run: later calls only run the window's own handling. Choosing a mode erases the settings kept
// in the other places.
//
// Paths: the INI file is program folder + titre + ".ini"; the registry key is
// "Software\Osric Taskel\" + titre below the user's hive. GUI thread only.
#include "commands/ActionInterfaces.h"
#include "preferences/uPreferencesMan.h"
#include "preferences/uSavePreferences.h"

#include <functional>
#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class TSavePrefsForm;
class TTaskelPreferences;

using TChangeModeEvent = std::function<void(TSavePreferences aMode)>;
using TLoadPrefsEvent = std::function<void(TTaskelPreferences& gp)>;
using TSavePrefsEvent = std::function<void(TTaskelPreferences& gp)>;

class TTaskelPreferences : public QObject, public IActionPreferences {
    Q_OBJECT

public:
    // With a widget as owner, the component becomes its child; the save-mode question is
    // centred on it.
    explicit TTaskelPreferences(QObject* owner = nullptr);
    ~TTaskelPreferences() override; // destroys the store (an INI store writes its file)

    const QString& titre() const { return Ftitre; }
    void SetTitre(const QString& titre) { Ftitre = titre; }
    const QString& version() const { return Fversion; }
    void SetVersion(const QString& version) { Fversion = version; }
    // The folder of the INI file, with a trailing separator; the program's folder by default.
    const QString& ProgramFolder() const { return FProgramFolder; }
    void SetProgramFolder(const QString& folder);
    QString IniFileName() const;
    QString RegistryKey() const;

    TSavePreferences Mode() const { return FMode; }
    // Changes the mode and opens its store (CreateStore) when it differs from the current one.
    void SetMode(TSavePreferences mode);
    TSavePreferences DetectMode() const;
    // Replaces the store by the current mode's one and erases the other places.
    void CreateStore();
    bool WriteHeader(const QString& version);
    TPreferencesMan& Store() const { return *FStore; }
    TSavePrefsForm& Dialog() const { return *FDialog; }
    // Whether the first show has loaded the settings, and whether the close has yet to save them.
    bool Loaded() const { return FLoaded; }
    bool SavePending() const { return !FSaved; }

    // The first-show and close work, called by the owner window. ownerShow runs the window's own
    // show handling; ownerCloseQuery its own close query (it may refuse the close).
    void LoadAll(const std::function<void()>& ownerShow = {});
    void SaveAll(bool& canClose, const std::function<void(bool&)>& ownerCloseQuery = {});

    // Sections (nothing happens while the mode is spNone).
    bool OpenSection(const QString& name);
    bool CloseSection();
    bool ReadSubSections(QStringList& list);

    QString ReadString(const QString& key, const QString& def) override;
    int32_t ReadInteger(const QString& key, int32_t def) override;
    bool ReadBool(const QString& key, bool def) override;
    double ReadFloat(const QString& key, double def) override;
    TPoint ReadPoint(const QString& key, const TPoint& def) override;
    TRect ReadRect(const QString& key, const TRect& def) override;
    void ReadFont(const QString& key, const TFont& def, TFont& target) override;

    bool WriteString(const QString& key, const QString& value) override;
    bool WriteInteger(const QString& key, int32_t value) override;
    bool WriteBool(const QString& key, bool value) override;
    bool WriteFloat(const QString& key, double value) override;
    bool WritePoint(const QString& key, const TPoint& value) override;
    bool WriteRect(const QString& key, const TRect& value) override;
    bool WriteFont(const QString& key, const TFont& value) override;

    TChangeModeEvent OnChangeMode;
    TLoadPrefsEvent OnLoadPrefs;
    TSavePrefsEvent OnSavePrefs;

private:
    bool Active() const { return FMode != spNone; }
    std::optional<TSavePreferences> AskMode();

    QString Ftitre;
    QString Fversion;
    QString FProgramFolder;
    TSavePreferences FMode = spNone;
    std::unique_ptr<TPreferencesMan> FStore;
    std::unique_ptr<TSavePrefsForm> FDialog;
    QPointer<QWidget> FOwner;
    bool FLoaded = false;
    bool FSaved = false;
};
