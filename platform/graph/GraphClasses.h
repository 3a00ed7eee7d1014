#pragma once
// Registers the framework's own classes with the class registry, once per process:
// CLSID_FilterGraph, CLSID_CaptureGraphBuilder2, CLSID_SystemClock and CLSID_MemoryAllocator.
// Call it at start (the program's main, test mains) before creating a graph by CLSID.
void RegisterGraphClasses();
