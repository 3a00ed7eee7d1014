#pragma once
// The macro recorder's process-wide state, shared by all typed actions (GUI thread only, no
// locking): MacroRecorder is the text list that receives recorded lines, or none when nothing is
// being recorded; MacroNesting is true while a recorded action applies, so that actions applied
// as a consequence are not recorded as well.
#include <functional>

#include <QString>
#include <QStringList>

// A text list that recorded macro lines are appended to (the script editor's lines, in the
// program).
class TMacroLines {
public:
    virtual ~TMacroLines() = default;
    virtual void Add(const QString& line) = 0;
};

// A plain list of lines.
class TMacroLineList : public TMacroLines {
public:
    void Add(const QString& line) override { Lines.push_back(line); }
    QStringList Lines;
};

extern TMacroLines* MacroRecorder;
extern bool MacroNesting;

// One recorded application: when a recorder is set and no recorded action is applying, writes the
// line that makeLine gives (nothing for a null text) and marks the recording as nested until the
// scope ends, also when the application ends with an exception.
class TMacroScope {
public:
    explicit TMacroScope(const std::function<QString()>& makeLine);
    ~TMacroScope();
    TMacroScope(const TMacroScope&) = delete;
    TMacroScope& operator=(const TMacroScope&) = delete;

private:
    bool FSetNesting = false;
};

// The four blanks that start every recorded line.
inline QString MacroIndent() {
    return QStringLiteral("    ");
}
