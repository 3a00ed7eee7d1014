#include "platform/com/ComPtr.h"

#include "platform/com/CUnknown.h"

#include <gtest/gtest.h>

namespace {

struct IFoo : IUnknown {
    static constexpr IID iid{0x11111111, 1, 1, {1, 1, 1, 1, 1, 1, 1, 1}};
    virtual int Foo() = 0;
};
struct IBar : IUnknown {
    static constexpr IID iid{0x22222222, 2, 2, {2, 2, 2, 2, 2, 2, 2, 2}};
    virtual int Bar() = 0;
};
struct IOther : IUnknown {
    static constexpr IID iid{0x33333333, 3, 3, {3, 3, 3, 3, 3, 3, 3, 3}};
};

// Implements two interfaces and counts its destructions.
class TFooBar : public CUnknown, public IFoo, public IBar {
public:
    explicit TFooBar(int* destroyed) : FDestroyed(destroyed) {}
    ~TFooBar() override { ++*FDestroyed; }
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IFoo::iid)
            return GetInterface(static_cast<IFoo*>(this), ppv);
        if (riid == IBar::iid)
            return GetInterface(static_cast<IBar*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    int Foo() override { return 1; }
    int Bar() override { return 2; }

private:
    IUnknown* UnknownInterface() override { return static_cast<IFoo*>(this); }
    int* FDestroyed;
};

TEST(ComPtr, HoldsOneReferencePerCopyAndReleasesTheLast) {
    int destroyed = 0;
    {
        ComPtr<TFooBar> obj = MakeComObject<TFooBar>(&destroyed);
        EXPECT_EQ(obj->RefCount(), 1u);
        ComPtr<IFoo> foo = obj;
        EXPECT_EQ(obj->RefCount(), 2u);
        ComPtr<IFoo> moved = std::move(foo);
        EXPECT_FALSE(foo);
        EXPECT_EQ(obj->RefCount(), 2u);
        moved = nullptr;
        EXPECT_EQ(obj->RefCount(), 1u);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(ComPtr, QueryInterfaceFindsOfferedInterfacesAndKeepsIdentity) {
    int destroyed = 0;
    ComPtr<TFooBar> obj = MakeComObject<TFooBar>(&destroyed);
    ComPtr<IFoo> foo = obj;
    ComPtr<IBar> bar = foo.As<IBar>();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->Bar(), 2);
    EXPECT_FALSE(foo.As<IOther>());
    ComPtr<IOther> other;
    EXPECT_EQ(foo.As(&other), E_NOINTERFACE);
    // IUnknown is the same pointer whichever interface it is asked through.
    EXPECT_EQ(foo.As<IUnknown>().Get(), bar.As<IUnknown>().Get());
    EXPECT_EQ(obj->RefCount(), 3u);
    bar.Reset();
    foo.Reset();
    obj.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(ComPtr, AttachDetachAndCopyToTransferReferencesExactly) {
    int destroyed = 0;
    ComPtr<TFooBar> obj = MakeComObject<TFooBar>(&destroyed);
    IFoo* raw = nullptr;
    ASSERT_EQ(ComPtr<IFoo>(obj).CopyTo(&raw), S_OK);
    EXPECT_EQ(obj->RefCount(), 2u);
    ComPtr<IFoo> attached;
    attached.Attach(raw);
    EXPECT_EQ(obj->RefCount(), 2u);
    IFoo* detached = attached.Detach();
    EXPECT_EQ(obj->RefCount(), 2u);
    detached->Release();
    obj.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(ComPtr, QueryInterfaceOfNullIsEmpty) {
    IFoo* none = nullptr;
    EXPECT_FALSE(QueryInterfaceOf<IBar>(none));
    ComPtr<IFoo> empty;
    ComPtr<IBar> out;
    EXPECT_EQ(empty.As(&out), E_POINTER);
}

} // namespace
