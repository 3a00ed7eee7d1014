// LAVSplitter.ax: the splitter source (opens the file itself) and the splitter (reads from an
// asynchronous reader), both for every format FFmpeg recognises.
#include "platform/filters/LavSplitter.h"

#include "modules/support/PrivateClsids.h"
#include "platform/com/ModuleExports.h"
#include "platform/filters/LavSplitterSource.h"

KELVARA_MODULE_CLASSES({CLSID_PrivateLavSplitterSource, &CreateComInstance<TLavSplitterSource>},
                       {CLSID_PrivateLavSplitter, &CreateComInstance<TLavSplitter>})
