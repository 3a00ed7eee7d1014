#pragma once
// Base of every object that implements COM-style interfaces: an atomic reference count that
// deletes the object when it falls to zero, and NonDelegatingQueryInterface that a subclass
// extends for the interfaces it adds (calling the base for the rest). A class that derives from
// interfaces writes DECLARE_IUNKNOWN once to route their IUnknown methods here.
#include "platform/com/Unknown.h"

#include <atomic>

class CUnknown {
public:
    CUnknown();
    CUnknown(const CUnknown&) = delete;
    CUnknown& operator=(const CUnknown&) = delete;
    virtual ~CUnknown();

    virtual HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv);
    ULONG NonDelegatingAddRef();
    ULONG NonDelegatingRelease();

    // Current count, for tests and traces only.
    ULONG RefCount() const { return FRef.load(); }
    // Objects alive in this copy of the library (a module has its own count).
    static long ActiveObjects();

private:
    // Answers IID_IUnknown with an IUnknown of the most derived object.
    virtual IUnknown* UnknownInterface() = 0;

    std::atomic<ULONG> FRef{0};
};

#define DECLARE_IUNKNOWN                                                                           \
    HRESULT QueryInterface(REFIID riid, void** ppv) override {                                     \
        return NonDelegatingQueryInterface(riid, ppv);                                             \
    }                                                                                              \
    ULONG AddRef() override {                                                                      \
        return NonDelegatingAddRef();                                                              \
    }                                                                                              \
    ULONG Release() override {                                                                     \
        return NonDelegatingRelease();                                                             \
    }
