#pragma once
// Registers the platform's renderers with the class registry, once per process: the windowless
// video renderer (CLSID_VideoMixingRenderer9, "Video Mixing Renderer 9") and the audio renderer
// (CLSID_DSoundRender, "Default DirectSound Device"), each with its merit and the media types
// of its input pin, so that intelligent connect can end a stream in them. Safe to call any
// number of times from any thread; RegisterPlatformFilters calls it.
void RegisterRendererFilters();
