#include "media/uDecoders.h"

#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"
#include "platform/graph/MediaGuids.h"
#include "preferences/uPreferences.h"

#include <algorithm>

namespace {

// {212690FB-83E5-4526-8FD7-74478B7939CD}
constexpr CLSID kDtvDvdVideoDecoder{
    0x212690FB, 0x83E5, 0x4526, {0x8F, 0xD7, 0x74, 0x47, 0x8B, 0x79, 0x39, 0xCD}};
// {E1F1A0B8-BEEE-490D-BA7C-066C40B5E2B9}
constexpr CLSID kDtvDvdAudioDecoder{
    0xE1F1A0B8, 0xBEEE, 0x490D, {0xBA, 0x7C, 0x06, 0x6C, 0x40, 0xB5, 0xE2, 0xB9}};
// The H.264 sub-types the video exclusions name: H264, h264, the platform's own AVC sub-type,
// AVC1 and avc1.
constexpr GUID kExcludedVideoSubtypes[] = {
    {0x34363248, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}},
    {0x34363268, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}},
    {0x8D2D71CB, 0x243F, 0x45E3, {0xB2, 0xD8, 0x5F, 0xD7, 0x96, 0x7E, 0xC0, 0x9B}},
    {0x31435641, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}},
    {0x31637661, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}};
// Dolby AC-3.
constexpr GUID kExcludedAudioSubtype{
    0xE06D802C, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};

std::vector<std::unique_ptr<TFilterRec>>& Records() {
    static std::vector<std::unique_ptr<TFilterRec>> records;
    return records;
}

TDecoderLinks MakeVideoExclusions() {
    TFilterRec* dtv = TFilterRecs::Make(kDtvDvdVideoDecoder, fkRegistered,
                                        QStringLiteral("Microsoft DTV-DVD Video Decoder"));
    TDecoderLinks links;
    for (const GUID& sub : kExcludedVideoSubtypes)
        links.SetLink({MEDIATYPE_Video, sub, GUID_NULL}, dtv);
    return links;
}

TDecoderLinks MakeAudioExclusions() {
    TDecoderLinks links;
    links.SetLink({MEDIATYPE_Audio, kExcludedAudioSubtype, GUID_NULL},
                  TFilterRecs::Make(kDtvDvdAudioDecoder, fkRegistered,
                                    QStringLiteral("Microsoft DTV-DVD Audio Decoder")));
    return links;
}

bool ReadGuid(TTaskelPreferences& prefs, const QString& name, GUID& guid) {
    return GuidFromString(prefs.ReadString(name, QString()), &guid);
}

} // namespace

TFilterRec::TFilterRec(REFCLSID clsid, TFilterKind kind, const QString& name)
    : FClsid(clsid), FKind(kind), FName(name) {}

ComPtr<IBaseFilter> TFilterRec::GetFilter() {
    if (FInstance || FKind == fkSupplied)
        return FInstance;
    if (FKind == fkPrivate) {
        if (const ComPtr<IClassFactory> factory = TPrivateFactories::Find(FClsid))
            factory->CreateInstance(nullptr, IidOf<IBaseFilter>(),
                                    FInstance.ReleaseAndGetVoidAddressOf());
        return FInstance;
    }
    FInstance = CreateInstanceOf<IBaseFilter>(FClsid);
    return FInstance;
}

void TFilterRec::SetInstance(IBaseFilter* filter) {
    if (FKind != fkSupplied)
        FInstance.Reset();
    else if (filter)
        FInstance = filter;
}

TFilterRec* TFilterRecs::Make(REFCLSID clsid, TFilterKind kind, const QString& name) {
    Records().push_back(std::make_unique<TFilterRec>(clsid, kind, name));
    return Records().back().get();
}

size_t TFilterRecs::Count() {
    return Records().size();
}

int TDecoderLinks::IndexOf(const TMediaTypeKey& key) const {
    const auto it = std::find_if(FLinks.begin(), FLinks.end(),
                                 [&](const TDecoderLink& link) { return link.Key == key; });
    return it == FLinks.end() ? -1 : int(it - FLinks.begin());
}

void TDecoderLinks::SetLink(const TMediaTypeKey& key, TFilterRec* record) {
    if (const int index = IndexOf(key); index >= 0)
        FLinks[size_t(index)].Record = record;
    else
        FLinks.push_back({key, record});
}

TFilterRec* TDecoderLinks::GetLink(const TMediaTypeKey& key) const {
    const int index = IndexOf(key);
    return index >= 0 ? FLinks[size_t(index)].Record : nullptr;
}

void TDecoderLinks::DeleteLink(const TMediaTypeKey& key) {
    if (const int index = IndexOf(key); index >= 0)
        FLinks.erase(FLinks.begin() + index);
}

void TDecoderLinks::SaveToPrefs(TTaskelPreferences& prefs) const {
    for (int i = 0; i < Count(); ++i) {
        const TDecoderLink& link = FLinks[size_t(i)];
        // Supplied records stand for filters of this run; their positions are not reused, so
        // a link keeps its sub-section name between runs.
        if (!link.Record || link.Record->Kind() == fkSupplied)
            continue;
        if (!prefs.OpenSection(QStringLiteral("dc%1").arg(i)))
            continue;
        prefs.WriteString(QStringLiteral("majortype"), GuidToString(link.Key.Major));
        prefs.WriteString(QStringLiteral("subtype"), GuidToString(link.Key.Sub));
        prefs.WriteString(QStringLiteral("formattype"), GuidToString(link.Key.Format));
        prefs.WriteString(QStringLiteral("decoderguid"), GuidToString(link.Record->Clsid()));
        prefs.WriteString(QStringLiteral("name"), link.Record->Name());
        prefs.WriteBool(QStringLiteral("Private"), link.Record->Kind() == fkPrivate);
        prefs.CloseSection();
    }
}

bool TDecoderLinks::LoadFromSection(IActionPreferences& prefs, const QString& section) {
    auto* store = dynamic_cast<TTaskelPreferences*>(&prefs);
    if (!store || !store->OpenSection(section))
        return false;
    LoadFromPrefs(*store);
    store->CloseSection();
    return true;
}

bool TDecoderLinks::SaveToSection(IActionPreferences& prefs, const QString& section) const {
    auto* store = dynamic_cast<TTaskelPreferences*>(&prefs);
    if (!store || !store->OpenSection(section))
        return false;
    SaveToPrefs(*store);
    store->CloseSection();
    return true;
}

void TDecoderLinks::LoadFromPrefs(TTaskelPreferences& prefs) {
    QStringList names;
    if (!prefs.ReadSubSections(names))
        return;
    for (const QString& name : names) {
        if (!prefs.OpenSection(name))
            continue;
        TMediaTypeKey key;
        CLSID clsid = GUID_NULL;
        const bool read = ReadGuid(prefs, QStringLiteral("majortype"), key.Major) &&
                          ReadGuid(prefs, QStringLiteral("subtype"), key.Sub) &&
                          ReadGuid(prefs, QStringLiteral("formattype"), key.Format) &&
                          ReadGuid(prefs, QStringLiteral("decoderguid"), clsid);
        const bool isPrivate = prefs.ReadBool(QStringLiteral("Private"), false);
        const QString decoder = prefs.ReadString(QStringLiteral("name"), QString());
        prefs.CloseSection();
        if (read)
            SetLink(key, TFilterRecs::Make(clsid, isPrivate ? fkPrivate : fkRegistered, decoder));
    }
}

TDecoderLinks& VideoDecoderMemory() {
    static TDecoderLinks memory;
    return memory;
}

TDecoderLinks& AudioDecoderMemory() {
    static TDecoderLinks memory;
    return memory;
}

const TDecoderLinks& VideoExclusions() {
    static const TDecoderLinks exclusions = MakeVideoExclusions();
    return exclusions;
}

const TDecoderLinks& AudioExclusions() {
    static const TDecoderLinks exclusions = MakeAudioExclusions();
    return exclusions;
}

TFilterRec* NoVideoDecoder() {
    static TFilterRec* const record =
        TFilterRecs::Make(GUID_NULL, fkRegistered, QStringLiteral("No Video decoder"));
    return record;
}

TFilterRec* NoAudioDecoder() {
    static TFilterRec* const record =
        TFilterRecs::Make(GUID_NULL, fkRegistered, QStringLiteral("No Audio decoder"));
    return record;
}

TMediaTypeKey MediaTypeKeyOf(const AM_MEDIA_TYPE& type) {
    return {type.majortype, type.subtype, type.formattype};
}
