#pragma once
// A place in the script text: which source (0 = the main text, then include files in the order
// they were opened), line and column, both counted from 1. Columns count UTF-16 code units.
#include <cstdint>

namespace kelvara::script {

struct SourcePos {
    int32_t file = 0;
    int32_t line = 0;
    int32_t col = 0;
};

} // namespace kelvara::script
