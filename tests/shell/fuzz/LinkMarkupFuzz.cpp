// Fuzz target of the link markup renderer: the input (UTF-8) is assigned to a TLinkEdit. The
// document must hold exactly the characters that the markup's positions count, its text must be
// the plain text with line breaks, and every position must answer a link lookup.
#include "platform/ui/Colors.h"
#include "shell/uLinkEdit.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#include <QApplication>

namespace {

// The application and the control live until the process ends and are never destroyed: libFuzzer
// exits without a hook, and a QApplication destroyed by the exit handlers crashes.
template <typename T>
class Immortal {
public:
    template <typename... Args>
    T& Create(Args&&... args) {
        return *new (FStorage) T(std::forward<Args>(args)...);
    }

private:
    alignas(T) unsigned char FStorage[sizeof(T)];
};

Immortal<QApplication> gAppStorage;
Immortal<TLinkEdit> gEditStorage;
TLinkEdit* gEdit = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    gAppStorage.Create(*argc, *argv);
    gEdit = &gEditStorage.Create();
    gEdit->resize(300, 200);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString markup = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    gEdit->SetRichText(markup);
    const TMarkupContext context{{clBlack, 0, 8, QStringLiteral("X")}, clNavy, clNavy, clNavy};
    const TMarkupLayout layout = TLinkMarkup::Format(markup, {}, context);
    if (gEdit->document()->characterCount() - 1 != layout.DocumentLength())
        std::abort();
    if (gEdit->PlainText() != TLinkMarkup::PlainText(markup))
        std::abort();
    if (gEdit->document()->toRawText() != layout.Paragraphs.join(QChar::ParagraphSeparator))
        std::abort();
    for (int p = 0; p <= layout.DocumentLength() && p < 256; ++p)
        gEdit->FindLinkAt(p);
    gEdit->CharacterAt(QPoint(10, 10));
    return 0;
}
