// Fuzz target of the .reg reader. Beyond not crashing, it checks the writer against the reader:
// whatever tree a file describes is written out and must read back without error into the same
// tree.
#include "platform/registry/RegFileReader.h"
#include "platform/registry/RegFileWriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const RegParseResult parsed = RegFileReader::Parse(bytes);
    RegKey tree;
    for (const RegOperation& op : parsed.Operations)
        op.ApplyTo(tree);
    const RegParseResult again = RegFileReader::Parse(RegFileWriter::Format(tree));
    RegKey back;
    for (const RegOperation& op : again.Operations)
        op.ApplyTo(back);
    if (!again.Ok() || !back.SameContent(tree))
        std::abort();
    return 0;
}
