#include "ClipParams.h"

#include <cmath>
#include <cstdio>

namespace {

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

} // namespace

void TClipParams::Put(const std::string& key, const std::string& value, bool quoted) {
    for (auto& e : FEntries)
        if (e.Key == key) {
            e.Value = value;
            e.Quoted = quoted;
            return;
        }
    FEntries.push_back({key, value, quoted});
}

void TClipParams::Set(const std::string& key, const std::string& value) {
    Put(key, value, true);
}

void TClipParams::Set(const std::string& key, int64_t value) {
    Put(key, std::to_string(value), false);
}

void TClipParams::Set(const std::string& key, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", std::isfinite(value) ? value : 0.0);
    Put(key, buf, false);
}

void TClipParams::Set(const std::string& key, bool value) {
    Put(key, value ? "true" : "false", false);
}

std::string TClipParams::Text() const {
    std::string out;
    for (const auto& e : FEntries)
        out += e.Key + "=" + e.Value + "\n";
    return out;
}

std::string TClipParams::Json() const {
    std::string out = "{";
    for (size_t i = 0; i < FEntries.size(); ++i) {
        const auto& e = FEntries[i];
        out +=
            (i ? ", " : "") + JsonString(e.Key) + ": " + (e.Quoted ? JsonString(e.Value) : e.Value);
    }
    return out + "}\n";
}
