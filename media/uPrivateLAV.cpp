#include "media/uPrivateLAV.h"

#include "media/uMediaFactory.h"
#include "modules/support/PrivateClsids.h"
#include "platform/registry/ImportRegFile.h"
#include "platform/ui/DialogService.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

TFilterRec* MakeRecord(REFCLSID clsid, const char* name) {
    return TFilterRecs::Make(clsid, fkPrivate, QString::fromLatin1(name));
}

// Adds the module's factory of the class; an empty one when the file is missing, so that a
// folder without the package never falls back on the factories of a folder loaded before.
void AddFactory(REFCLSID clsid, const QString& file) {
    TPrivateFactories::Add(clsid, file);
}

std::vector<TFilterRec*> Present(std::initializer_list<TFilterRec*> records) {
    std::vector<TFilterRec*> present;
    for (TFilterRec* record : records)
        if (record)
            present.push_back(record);
    return present;
}

void DeleteKey(const char* key) {
    ImportRegFile(QStringLiteral("delete HKCU\\%1 /F").arg(QLatin1String(key)), true);
}

} // namespace

TLavRecords& LavRecords() {
    static TLavRecords records;
    return records;
}

void LoadLavPackage(const QString& folder) {
    const QString dir = WithTrailingDelimiter(folder);
    TLavRecords& records = LavRecords();
    QString f = dir + QStringLiteral("LAVSplitter.ax");
    AddFactory(CLSID_PrivateLavSplitterSource, f);
    records.SplitterSource =
        MakeRecord(CLSID_PrivateLavSplitterSource, kPrivateLavSplitterSourceName);
    AddFactory(CLSID_PrivateLavSplitter, f);
    records.Splitter = MakeRecord(CLSID_PrivateLavSplitter, kPrivateLavSplitterName);
    f = dir + QStringLiteral("LAVAudio.ax");
    AddFactory(CLSID_PrivateLavAudio, f);
    records.Audio = MakeRecord(CLSID_PrivateLavAudio, kPrivateLavAudioName);
    f = dir + QStringLiteral("LAVVideo.ax");
    AddFactory(CLSID_PrivateLavVideo, f);
    records.Video = MakeRecord(CLSID_PrivateLavVideo, kPrivateLavVideoName);
}

bool ImportSettings(const QString& regFile, const QString& failureMessage) {
    if (!QFileInfo::exists(regFile)) {
        DialogService().ShowMessage(failureMessage);
        return false;
    }
    return ImportRegFile(QStringLiteral("import \"%1\"").arg(regFile), true);
}

QString WithTrailingDelimiter(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    if (folder.endsWith(u'\\'))
        return folder.chopped(1) + u'/';
    return folder + u'/';
}

QString DefaultPrivateFolder() {
    return WithTrailingDelimiter(QCoreApplication::applicationDirPath());
}

QString ApplyPrivateFolder(const QString& folder) {
    const QString f = WithTrailingDelimiter(folder);
    DeleteKey(kLavSettingsKey);
    ImportSettings(f + QStringLiteral("LAV/LBV.reg"), QString::fromLatin1(kLavSettingsMissing));
    DeleteKey(kFfdshowSettingsKey);
    ImportSettings(f + QStringLiteral("ffdshow/QRX.reg"),
                   QString::fromLatin1(kFfdshowSettingsMissing));
    LoadFfdshowPackage(f + QStringLiteral("ffdshow/ffdshow.ax"));
    LoadLavPackage(f + QStringLiteral("LAV/"));
    return f;
}

void InstallPrivateFilters(const TPrivateTargets& targets) {
    const TLavRecords& lav = LavRecords();
    const TFfdshowRecords& ffdshow = FfdshowRecords();
    if (targets.Video) {
        targets.Video->PostDecoderFilter = ffdshow.Video;
        targets.Video->Candidates = Present({lav.Video, ffdshow.Video});
    }
    if (targets.Factory) {
        targets.Factory->SetPrivateLavSplitter(lav.Splitter);
        targets.Factory->SetDefaultSource(lav.SplitterSource);
    }
    if (targets.Audio)
        targets.Audio->Candidates = Present({lav.Audio, ffdshow.Audio});
}

void UninstallPrivateFilters(const TPrivateTargets& targets) {
    const TLavRecords& lav = LavRecords();
    const TFfdshowRecords& ffdshow = FfdshowRecords();
    for (TFilterRec* record :
         {lav.SplitterSource, lav.Video, lav.Audio, ffdshow.Video, ffdshow.Audio})
        if (record)
            record->SetInstance(nullptr);
    if (targets.Video)
        targets.Video->Candidates.clear();
    if (targets.Audio)
        targets.Audio->Candidates.clear();
}

void DeletePrivateSettings() {
    DeleteKey(kFfdshowSettingsKey);
    DeleteKey(kLavSettingsKey);
}
