#pragma once
// Smart reference to a COM-style interface: adds a reference when it takes a pointer, releases
// it when it lets go. Objects are created with MakeComObject (reference count 0 until the first
// ComPtr holds them).
#include "platform/com/Unknown.h"

#include <cstddef>
#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(T* p) : FPtr(p) { AddRefPtr(); }
    ComPtr(const ComPtr& other) : FPtr(other.FPtr) { AddRefPtr(); }
    ComPtr(ComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    template <typename U>
    requires std::is_convertible_v<U*, T*> ComPtr(const ComPtr<U>& other) : FPtr(other.Get()) {
        AddRefPtr();
    }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(T* p) {
        ComPtr(p).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }

    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    T& operator*() const { return *FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }

    // The address to receive an interface from an out-parameter; drops the current one first.
    T** ReleaseAndGetAddressOf() {
        Reset();
        return &FPtr;
    }
    T** GetAddressOf() { return &FPtr; }
    void** ReleaseAndGetVoidAddressOf() {
        return reinterpret_cast<void**>(ReleaseAndGetAddressOf());
    }

    void Reset() {
        if (T* p = std::exchange(FPtr, nullptr))
            p->Release();
    }
    // Takes over a reference that the caller already owns.
    void Attach(T* p) {
        Reset();
        FPtr = p;
    }
    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(FPtr, nullptr); }
    void Swap(ComPtr& other) noexcept { std::swap(FPtr, other.FPtr); }

    // Hands out an added reference through an out-parameter.
    HRESULT CopyTo(T** out) const {
        if (!out)
            return E_POINTER;
        *out = FPtr;
        AddRefPtr();
        return S_OK;
    }

    // QueryInterface for U; *out is empty when the object does not offer it.
    template <typename U>
    HRESULT As(ComPtr<U>* out) const {
        if (!out)
            return E_POINTER;
        if (!FPtr) {
            out->Reset();
            return E_POINTER;
        }
        return FPtr->QueryInterface(IidOf<U>(), out->ReleaseAndGetVoidAddressOf());
    }
    template <typename U>
    ComPtr<U> As() const {
        ComPtr<U> out;
        As(&out);
        return out;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.FPtr == b.FPtr; }
    friend bool operator==(const ComPtr& a, const T* b) { return a.FPtr == b; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.FPtr == nullptr; }

private:
    void AddRefPtr() const {
        if (FPtr)
            FPtr->AddRef();
    }

    T* FPtr = nullptr;
};

// QueryInterface on any interface pointer; empty when it is null or does not offer T.
template <typename T, typename From>
ComPtr<T> QueryInterfaceOf(From* from) {
    ComPtr<T> out;
    if (from)
        from->QueryInterface(IidOf<T>(), out.ReleaseAndGetVoidAddressOf());
    return out;
}

// Creates a reference-counted object and holds its first reference.
template <typename T, typename... Args>
ComPtr<T> MakeComObject(Args&&... args) {
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}
