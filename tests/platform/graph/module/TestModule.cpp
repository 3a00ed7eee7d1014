// The test class module: the test pass-through filter, created through the module's own class
// factory.
#include "platform/com/ModuleExports.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"

KELVARA_MODULE_CLASSES({kelvara::test::CLSID_TestPassThrough,
                        &CreateComInstance<kelvara::test::TTestPassThrough>})
