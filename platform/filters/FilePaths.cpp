#include "platform/filters/FilePaths.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80, kLastEscape = 0xDCFF;

void AppendUtf8(QByteArray& out, char32_t c) {
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

// The length of the valid UTF-8 sequence at bytes[at] and its code point; 0 when the bytes
// there are not one (a stray continuation byte, a cut sequence, an overlong form, a surrogate,
// beyond U+10FFFF).
int DecodeUtf8(const uint8_t* bytes, qsizetype size, qsizetype at, char32_t* c) {
    const uint8_t lead = bytes[at];
    int length = 0;
    char32_t value = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (size - at < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        const uint8_t next = bytes[at + k];
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *c = value;
    return length;
}

HRESULT ErrorOf(int err) {
    switch (err) {
    case ENOENT:
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
        return E_ACCESSDENIED;
    case ENOMEM:
        return E_OUTOFMEMORY;
    default:
        return E_FAIL;
    }
}

} // namespace

QByteArray PathBytes(const QString& path) {
    QByteArray out;
    const char16_t* text = reinterpret_cast<const char16_t*>(path.utf16());
    const qsizetype size = path.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text[i];
        if (unit >= kFirstEscape && unit <= kLastEscape) {
            out.append(char(unit - kEscapeBase));
            continue;
        }
        char32_t c = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text[i + 1]))
            c = QChar::surrogateToUcs4(unit, text[++i]);
        else if (QChar::isSurrogate(unit))
            c = QChar::ReplacementCharacter;
        AppendUtf8(out, c);
    }
    return out;
}

QString PathFromBytes(const QByteArray& bytes) {
    QString out;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        if (data[i] < 0x80) {
            out.append(QChar(char16_t(data[i++])));
            continue;
        }
        char32_t c = 0;
        const int length = DecodeUtf8(data, size, i, &c);
        if (length == 0) {
            out.append(QChar(char16_t(kEscapeBase + data[i++])));
            continue;
        }
        if (QChar::requiresSurrogates(c)) {
            out.append(QChar(QChar::highSurrogate(c)));
            out.append(QChar(QChar::lowSurrogate(c)));
        } else {
            out.append(QChar(char16_t(c)));
        }
        i += length;
    }
    return out;
}

HRESULT OpenRegularFile(const QString& path, int* fd) {
    *fd = -1;
    const QByteArray name = PathBytes(path);
    if (name.isEmpty() || name.contains('\0'))
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return ErrorOf(errno);
    if (!S_ISREG(info.st_mode))
        return KELVARA_E_NOT_REGULAR_FILE;
    // Should the name have become a pipe since the check, O_NONBLOCK keeps the open from
    // waiting for a writer, and the descriptor's own check refuses it.
    const int opened = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (opened < 0)
        return ErrorOf(errno);
    if (::fstat(opened, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(opened);
        return KELVARA_E_NOT_REGULAR_FILE;
    }
    // Reads of a regular file do not heed the flag; clear it so that nobody wonders.
    const int flags = ::fcntl(opened, F_GETFL);
    if (flags >= 0)
        ::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK);
    *fd = opened;
    return S_OK;
}
