#include "media/uMediaFactory.h"

#include "platform/graph/MediaGuids.h"

#include <QSet>

namespace {

struct TPair {
    TFilterRec* Source;
    TFilterRec* Splitter;
};

bool IsOneOf(const QString& extension, std::initializer_list<const char*> list) {
    for (const char* e : list)
        if (extension == QLatin1String(e))
            return true;
    return false;
}

} // namespace

TMediaFactory::TMediaFactory(QObject* owner)
    : TGrapheComponent(owner),
      FLavSplitterSource(TFilterRecs::Make(CLSID_LAVSplitterSource, fkRegistered,
                                           QStringLiteral("LAV Splitter Source"))),
      FFileSource(TFilterRecs::Make(CLSID_AsyncReader, fkRegistered,
                                    QStringLiteral("File Source (Async.)"))),
      FAviSplitter(
          TFilterRecs::Make(CLSID_AviSplitter, fkRegistered, QStringLiteral("AVI Splitter"))),
      FAsfReader(
          TFilterRecs::Make(CLSID_WMAsfReader, fkRegistered, QStringLiteral("WM ASF Reader"))),
      FWaveParser(TFilterRecs::Make(CLSID_WAVEParser, fkRegistered, QStringLiteral("Wave Parser"))),
      FMpeg2Splitter(
          TFilterRecs::Make(CLSID_MMSPLITTER, fkRegistered, QStringLiteral("MPEG-2 Splitter"))),
      FMpeg1Splitter(TFilterRecs::Make(CLSID_MPEG1Splitter, fkRegistered,
                                       QStringLiteral("MPEG-I Stream Splitter"))),
      FDefaultSource(FLavSplitterSource) {}

TMediaFactory::~TMediaFactory() {
    ClearCache();
}

QString TMediaFactory::ExtensionOf(const QString& fileName) {
    const qsizetype folder =
        std::max(fileName.lastIndexOf(u'\\'),
                 std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u':')));
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > folder ? fileName.mid(dot).toLower() : QString();
}

TFileDevice* TMediaFactory::GetDevice(const QString& fileName) {
    if (!GrapheMan())
        return nullptr;
    auto it = FCache.find(fileName);
    if (it == FCache.end())
        it = FCache.emplace(fileName, CreateDevice(fileName)).first;
    it->second->OwnerGraph = GrapheMan();
    return it->second.get();
}

std::unique_ptr<TFileDevice> TMediaFactory::CreateDevice(const QString& fileName) {
    const QString e = ExtensionOf(fileName);
    std::vector<TPair> candidates;
    if (IsOneOf(e, {".mts", ".m2ts", ".mkv", ".mov", ".mp4", ".3g2", ".ts", ".mpg", ".mpeg", ".m1v",
                    ".mp2", ".mpe", ".vob", ".m4v", ".m2v"}))
        candidates = {{FDefaultSource, nullptr},
                      {FFileSource, FMpeg2Splitter},
                      {FFileSource, FMpeg1Splitter}};
    else if (IsOneOf(e, {".avi", ".ivf"}))
        candidates = {{FFileSource, FAviSplitter}, {FDefaultSource, nullptr}};
    else if (IsOneOf(e, {".wmv", ".asf"}))
        candidates = {{FDefaultSource, nullptr}, {FAsfReader, nullptr}};
    else if (e == QLatin1String(".wav"))
        candidates = {{FFileSource, FWaveParser}};
    else
        candidates = {{FFileSource, FPrivateLavSplitter}, {FFileSource, nullptr}};
    // A private default source whose package is missing (or that cannot read the file) falls
    // back on the registered one, so that a file never fails for want of the package.
    if (FDefaultSource != FLavSplitterSource)
        candidates.push_back({FLavSplitterSource, nullptr});
    std::unique_ptr<TFileDevice> device;
    for (const TPair& pair : candidates) {
        device = std::make_unique<TFileDevice>(fileName, pair.Splitter, pair.Source);
        if (device->Built())
            break;
    }
    return device;
}

void TMediaFactory::SetDefaultSource(TFilterRec* record) {
    FDefaultSource = record && !record->IsNull() ? record : FLavSplitterSource;
    ClearCache();
}

void TMediaFactory::ClearCache() {
    FCache.clear();
}
