#pragma once
// A message of the compiler: its kind, where it applies and its text. ToString gives the one-line
// form shown to users, "[Error] (12:5): Unknown identifier 'Foo'", with the file name before the
// position when the message belongs to an included file.
#include <QString>

namespace kelvara::script {

enum class MessageKind { Hint, Warning, Error };

struct CompilerMessage {
    MessageKind kind = MessageKind::Error;
    QString file; // empty for the main text
    int line = 0;
    int col = 0;
    QString text;

    QString ToString() const;
};

QString MessageKindName(MessageKind kind);

} // namespace kelvara::script
