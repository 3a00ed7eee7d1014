#pragma once
// The three outputs of kelvara-info: readable text, CSV (the header
// frame,position,recording_date,timecode, then one row per frame shown, the date as
// YYYY-MM-DDTHH:MM:SS and empty fields for missing codes) and one JSON object.
#include "InfoOptions.h"
#include "InfoRecords.h"

#include <string>

std::string TextReport(const TInfoResult& result, bool scenesOnly);
// With scenes, one row per scene:
// scene,first_frame,last_frame,first_position,last_position,first_date,last_date.
std::string CsvReport(const TInfoResult& result, bool scenes);
std::string JsonReport(const TInfoResult& result);
