#include "media/uPrivateffdshow.h"

#include "modules/support/PrivateClsids.h"

TFfdshowRecords& FfdshowRecords() {
    static TFfdshowRecords records;
    return records;
}

void LoadFfdshowPackage(const QString& moduleFile) {
    TPrivateFactories::Add(CLSID_PrivateFfdshowVideo, moduleFile);
    TPrivateFactories::Add(CLSID_PrivateFfdshowAudio, moduleFile);
    FfdshowRecords().Video = TFilterRecs::Make(CLSID_PrivateFfdshowVideo, fkPrivate,
                                               QString::fromLatin1(kPrivateFfdshowVideoName));
    FfdshowRecords().Audio = TFilterRecs::Make(CLSID_PrivateFfdshowAudio, fkPrivate,
                                               QString::fromLatin1(kPrivateFfdshowAudioName));
}
