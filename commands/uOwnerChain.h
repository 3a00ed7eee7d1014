#pragma once
// The toolkit's owner chain on QObject parents. An action created with an owner is owned by the
// nearest "form, frame or data module" up the given owner's parent chain: a top-level window
// (a QWidget whose isWindow() is true) or an object marked with MarkAsOwnerRoot (frames, data
// modules and other containers that own their actions); the given owner itself when it is one;
// otherwise the last object reached at the top of the chain. The action becomes that object's
// QObject child, so it is destroyed with it.
class QObject;

void MarkAsOwnerRoot(QObject* object);
bool IsOwnerRoot(const QObject* object);
// None for none.
QObject* FindOwnerRoot(QObject* owner);
