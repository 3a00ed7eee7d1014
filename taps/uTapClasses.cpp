#include "taps/uTapClasses.h"

#include "platform/com/ClassRegistry.h"
#include "taps/uAVDummy.h"
#include "taps/uAudioNotifier.h"
#include "taps/uDVcodeNotifier.h"
#include "taps/uFramesNotifier.h"
#include "taps/uVideoNotifier.h"

void RegisterTapClasses() {
    TClassRegistry& registry = TClassRegistry::Instance();
    registry.RegisterClass(CLSID_VideoNotifier, CreateComInstance<TVideoNotifier>);
    registry.RegisterClass(CLSID_AudioNotifier, CreateComInstance<TAudioNotifier>);
    registry.RegisterClass(CLSID_DVCodeNotifier, CreateComInstance<TDVCodeNotifier>);
    registry.RegisterClass(CLSID_AVDummy, CreateComInstance<TAVDummy>);
    registry.RegisterClass(CLSID_FramesNotifier, CreateComInstance<TFramesNotifier>);
}
