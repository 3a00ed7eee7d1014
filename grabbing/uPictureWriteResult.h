#pragma once
// The outcome of writing a picture file: success, or the system's text of what went wrong
// ("No such file or directory", "No space left on device", ...), which the program shows as its
// error report.
#include <QString>

struct TPictureWriteResult {
    bool Ok = false;
    QString ErrorText;

    static TPictureWriteResult Success() { return {true, QString()}; }
    static TPictureWriteResult Failure(const QString& text) { return {false, text}; }
    explicit operator bool() const { return Ok; }
};
