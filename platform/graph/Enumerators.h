#pragma once
// Enumerators over snapshots: the list is taken when the enumerator is made, so a filter that
// adds or removes pins later does not disturb an enumeration in progress.
#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/FilterInterfaces.h"
#include "platform/graph/PinInterfaces.h"

#include <vector>

class CEnumPins : public CUnknown, public IEnumPins {
public:
    explicit CEnumPins(std::vector<ComPtr<IPin>> pins, size_t position = 0);
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) override;
    HRESULT Skip(ULONG cPins) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumPins** ppEnum) override;

private:
    IUnknown* UnknownInterface() override { return static_cast<IEnumPins*>(this); }
    std::vector<ComPtr<IPin>> FPins;
    size_t FPosition;
};

class CEnumMediaTypes : public CUnknown, public IEnumMediaTypes {
public:
    explicit CEnumMediaTypes(std::vector<AM_MEDIA_TYPE> types, size_t position = 0);
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) override;
    HRESULT Skip(ULONG cMediaTypes) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMediaTypes** ppEnum) override;

private:
    IUnknown* UnknownInterface() override { return static_cast<IEnumMediaTypes*>(this); }
    std::vector<AM_MEDIA_TYPE> FTypes;
    size_t FPosition;
};

class CEnumFilters : public CUnknown, public IEnumFilters {
public:
    explicit CEnumFilters(std::vector<ComPtr<IBaseFilter>> filters, size_t position = 0);
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT Next(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) override;
    HRESULT Skip(ULONG cFilters) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFilters** ppEnum) override;

private:
    IUnknown* UnknownInterface() override { return static_cast<IEnumFilters*>(this); }
    std::vector<ComPtr<IBaseFilter>> FFilters;
    size_t FPosition;
};

// Convenience for callers: every pin of a filter, in enumeration order.
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter);
// Every media type a pin offers (at most `limit`).
std::vector<AM_MEDIA_TYPE> MediaTypesOf(IPin* pin, size_t limit = 256);
// Every filter of a graph, in enumeration order (empty for null).
std::vector<ComPtr<IBaseFilter>> FiltersOf(IFilterGraph* graph);
// The filter that owns a pin (empty for null).
ComPtr<IBaseFilter> FilterOf(IPin* pin);
PIN_DIRECTION DirectionOf(IPin* pin);
