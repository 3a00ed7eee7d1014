#include "platform/filters/RegisterRenderers.h"

#include "platform/com/ClassRegistry.h"
#include "platform/filters/AudioRenderer.h"
#include "platform/filters/VideoRenderer.h"
#include "platform/graph/MediaGuids.h"

#include <mutex>

namespace {

TRegFilter VideoRendererRegistration() {
    TRegFilter filter;
    filter.clsid = CLSID_VideoMixingRenderer9;
    filter.name = QStringLiteral("Video Mixing Renderer 9");
    filter.merit = MERIT_NORMAL;
    TRegFilterPin input;
    input.bRendered = true;
    input.mediaTypes = {{MEDIATYPE_Video, MEDIASUBTYPE_RGB32},
                        {MEDIATYPE_Video, MEDIASUBTYPE_ARGB32},
                        {MEDIATYPE_Video, MEDIASUBTYPE_RGB24}};
    filter.pins = {input};
    return filter;
}

TRegFilter AudioRendererRegistration() {
    TRegFilter filter;
    filter.clsid = CLSID_DSoundRender;
    filter.name = QStringLiteral("Default DirectSound Device");
    filter.merit = MERIT_NORMAL;
    filter.category = CLSID_AudioRendererCategory;
    TRegFilterPin input;
    input.bRendered = true;
    input.mediaTypes = {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM},
                        {MEDIATYPE_Audio, MEDIASUBTYPE_IEEE_FLOAT}};
    filter.pins = {input};
    return filter;
}

} // namespace

void RegisterRendererFilters() {
    static std::once_flag once;
    std::call_once(once, [] {
        TClassRegistry& registry = TClassRegistry::Instance();
        registry.RegisterClass(CLSID_VideoMixingRenderer9,
                               &CreateComInstance<CVideoMixingRenderer9>);
        registry.RegisterFilter(VideoRendererRegistration());
        registry.RegisterClass(CLSID_DSoundRender, &CreateComInstance<CAudioRenderer>);
        registry.RegisterFilter(AudioRendererRegistration());
    });
}
