#pragma once
// An application class whose event delivery reports exceptions: the toolkit delivers events
// through notify, and an exception that leaves a handler goes to Application().ShowException
// (the event counts as not handled) instead of unwinding through the toolkit's event loop.
#include "platform/ui/Application.h"

#include <stdexcept>

#include <QEvent>
#include <QObject>

template <class TBase>
class TGuardedApplication final : public TBase {
public:
    using TBase::TBase;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return TBase::notify(receiver, event);
        } catch (const std::exception& e) {
            ::Application().ShowException(e);
        } catch (...) {
            ::Application().ShowException(std::runtime_error("unknown error in an event handler"));
        }
        return false;
    }
};
