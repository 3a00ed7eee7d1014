#pragma once
// The process-wide class registry: class identifiers mapped to factories (what CoCreateInstance
// creates), and for filter classes the description that intelligent connect searches: name,
// merit, category and the media types of their pins.
//
// Thread contract: every member may be called from any thread; the registry's lock is never
// held while a factory runs.
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"

#include <functional>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QString>

// Merits: intelligent connect tries registered filters from the highest merit down and never
// uses those at or below MERIT_DO_NOT_USE.
inline constexpr DWORD MERIT_PREFERRED = 0x800000;
inline constexpr DWORD MERIT_NORMAL = 0x600000;
inline constexpr DWORD MERIT_UNLIKELY = 0x400000;
inline constexpr DWORD MERIT_DO_NOT_USE = 0x200000;
inline constexpr DWORD MERIT_SW_COMPRESSOR = 0x100000;
inline constexpr DWORD MERIT_HW_COMPRESSOR = 0x100050;

// Class contexts (only in-process classes exist).
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_ALL = 0x17;

// A media type a registered pin takes: major type and sub-type, GUID_NULL meaning any.
struct REGPINTYPES {
    GUID clsMajorType = GUID_NULL;
    GUID clsMinorType = GUID_NULL;
};

struct TRegFilterPin {
    bool bOutput = false;
    bool bRendered = false; // an input that renders its data (renderers)
    bool bZero = false;     // the filter may have none of this pin
    bool bMany = false;     // the filter may have several of this pin
    GUID category = GUID_NULL;
    std::vector<REGPINTYPES> mediaTypes;
};

struct TRegFilter {
    CLSID clsid = GUID_NULL;
    QString name;
    DWORD merit = MERIT_DO_NOT_USE;
    GUID category = GUID_NULL; // the filter category (GUID_NULL: the legacy filters)
    std::vector<TRegFilterPin> pins;
};

using TCreateInstanceFn = std::function<HRESULT(IUnknown* outer, REFIID riid, void** ppv)>;

// A class factory that runs a creation function; what modules and registrations hand out.
ComPtr<IClassFactory> MakeClassFactory(TCreateInstanceFn create);

// Creates a T (its constructor takes no arguments) and hands out the interface asked for.
template <typename T>
HRESULT CreateComInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    ComPtr<T> object = MakeComObject<T>();
    return object->QueryInterface(riid, ppv);
}

class TClassRegistry {
public:
    static TClassRegistry& Instance();

    // Registers (or replaces) the factory of a class.
    void RegisterClass(REFCLSID clsid, ComPtr<IClassFactory> factory);
    void RegisterClass(REFCLSID clsid, TCreateInstanceFn create);
    // Describes a filter class for intelligent connect; its factory is registered apart.
    void RegisterFilter(const TRegFilter& filter);
    // Removes the class and its filter description.
    void Unregister(REFCLSID clsid);

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const;
    std::optional<TRegFilter> FindFilter(REFCLSID clsid) const;
    // Every filter description, highest merit first (same merit: in registration order).
    std::vector<TRegFilter> Filters() const;

private:
    TClassRegistry() = default;

    mutable std::mutex FLock;
    // guarded by FLock
    std::unordered_map<GUID, ComPtr<IClassFactory>> FFactories;
    std::vector<TRegFilter> FFilters;
};

// Creates an object of a registered class (REGDB_E_CLASSNOTREG when none is registered).
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv);
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void* pvReserved, REFIID riid,
                         void** ppv);

// Typed convenience: the object as T, or empty.
template <typename T>
ComPtr<T> CreateInstanceOf(REFCLSID clsid) {
    ComPtr<T> out;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IidOf<T>(),
                     out.ReleaseAndGetVoidAddressOf());
    return out;
}
