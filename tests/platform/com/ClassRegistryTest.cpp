#include "platform/com/ClassRegistry.h"

#include "platform/com/CUnknown.h"

#include <gtest/gtest.h>

namespace {

struct IThing : IUnknown {
    static constexpr IID iid{0x44444444, 4, 4, {4, 4, 4, 4, 4, 4, 4, 4}};
    virtual int Value() = 0;
};

class TThing : public CUnknown, public IThing {
public:
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IThing::iid)
            return GetInterface(static_cast<IThing*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    int Value() override { return 42; }

private:
    IUnknown* UnknownInterface() override { return static_cast<IThing*>(this); }
};

constexpr CLSID kThing{0x55555555, 5, 5, {5, 5, 5, 5, 5, 5, 5, 1}};
constexpr CLSID kOther{0x55555555, 5, 5, {5, 5, 5, 5, 5, 5, 5, 2}};

TEST(ClassRegistry, CreatesRegisteredClassesAndForgetsUnregisteredOnes) {
    TClassRegistry& registry = TClassRegistry::Instance();
    registry.RegisterClass(kThing, &CreateComInstance<TThing>);
    ComPtr<IThing> thing = CreateInstanceOf<IThing>(kThing);
    ASSERT_TRUE(thing);
    EXPECT_EQ(thing->Value(), 42);
    void* raw = nullptr;
    EXPECT_EQ(CoCreateInstance(kThing, nullptr, CLSCTX_INPROC_SERVER, IID_IClassFactory, &raw),
              E_NOINTERFACE);
    EXPECT_EQ(raw, nullptr);
    ComPtr<IUnknown> outer = thing.As<IUnknown>();
    EXPECT_EQ(CoCreateInstance(kThing, outer.Get(), CLSCTX_INPROC_SERVER, IThing::iid, &raw),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(kOther, nullptr, CLSCTX_INPROC_SERVER, IThing::iid, &raw),
              REGDB_E_CLASSNOTREG);
    registry.Unregister(kThing);
    EXPECT_EQ(CoCreateInstance(kThing, nullptr, CLSCTX_INPROC_SERVER, IThing::iid, &raw),
              REGDB_E_CLASSNOTREG);
}

TEST(ClassRegistry, FilterDescriptionsComeHighestMeritFirst) {
    TClassRegistry& registry = TClassRegistry::Instance();
    TRegFilter low{kThing, QStringLiteral("Low"), MERIT_UNLIKELY, GUID_NULL, {}};
    TRegFilter high{kOther, QStringLiteral("High"), MERIT_PREFERRED, GUID_NULL, {}};
    registry.RegisterFilter(low);
    registry.RegisterFilter(high);
    std::vector<QString> order;
    for (const TRegFilter& f : registry.Filters())
        if (f.clsid == kThing || f.clsid == kOther)
            order.push_back(f.name);
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("High"), QStringLiteral("Low")}));
    // Registering a class again replaces its description.
    low.merit = MERIT_PREFERRED + 1;
    registry.RegisterFilter(low);
    EXPECT_EQ(registry.FindFilter(kThing)->merit, MERIT_PREFERRED + 1);
    registry.Unregister(kThing);
    registry.Unregister(kOther);
    EXPECT_FALSE(registry.FindFilter(kThing).has_value());
}

TEST(ClassRegistry, ObjectsCountThemselves) {
    const long before = CUnknown::ActiveObjects();
    {
        ComPtr<TThing> thing = MakeComObject<TThing>();
        EXPECT_EQ(CUnknown::ActiveObjects(), before + 1);
    }
    EXPECT_EQ(CUnknown::ActiveObjects(), before);
}

} // namespace
