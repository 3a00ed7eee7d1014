#include "scripting/Stmt.h"

namespace kelvara::script {

Stmt::~Stmt() = default;

} // namespace kelvara::script
