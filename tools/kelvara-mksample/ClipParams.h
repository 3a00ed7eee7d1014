#pragma once
// The parameters of a made clip, in the order they were set, printed one key=value per line or
// as one JSON object so that tests and scripts can check the file against them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TClipParams {
public:
    void Set(const std::string& key, const std::string& value);
    void Set(const std::string& key, const char* value) { Set(key, std::string(value)); }
    void Set(const std::string& key, int64_t value);
    void Set(const std::string& key, int value) { Set(key, int64_t(value)); }
    void Set(const std::string& key, double value);
    void Set(const std::string& key, bool value);

    std::string Text() const; // key=value lines
    std::string Json() const; // {"key": value, ...}

private:
    struct TEntry {
        std::string Key;
        std::string Value;
        bool Quoted;
    };
    void Put(const std::string& key, const std::string& value, bool quoted);
    std::vector<TEntry> FEntries;
};
