#pragma once
// Where the settings live: in the user's registry hive ("normal" mode), in an INI file beside the
// program ("portable" mode), or nowhere.
#include <cstdint>

enum TSavePreferences : int32_t { spRegistre = 0, spPortable = 1, spNone = 2 };
