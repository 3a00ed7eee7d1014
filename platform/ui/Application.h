#pragma once
// The application-wide services that commands need from the platform: the activation
// notification, the program's arguments, the main window and the default error report.
//
// Activation: the one activation handler of the program runs each time the application becomes
// active (QGuiApplication::applicationStateChanged to Qt::ApplicationActive). Activate() runs it
// as if the platform had reported an activation; tests use it, and so can a program that starts
// without a platform that reports activation. GUI thread only.
#include "platform/ui/Messages.h"

#include <exception>
#include <optional>

#include <QPointer>
#include <QStringList>
#include <QWidget>

class TApplication {
public:
    // Installs the activation handler; owner (may be none) marks who installed it so that it can
    // take it back with ClearOnActivate when it is destroyed.
    void SetOnActivate(TNotifyEvent handler, const QObject* owner = nullptr);
    // Removes the handler if owner installed it.
    void ClearOnActivate(const QObject* owner);
    bool HasOnActivate() const { return bool(FOnActivate); }
    // Runs the handler (if any) now; an exception from it goes to ShowException.
    void Activate();

    // The program's arguments as wide texts, in order, without the program path.
    QStringList ParamStrings() const;
    // Replaces the arguments that ParamStrings returns (tests); nullopt gives back the real ones.
    void SetParamStrings(std::optional<QStringList> arguments) {
        FParamStrings = std::move(arguments);
    }

    void SetMainWindow(QWidget* window) { FMainWindow = window; }
    QWidget* MainWindow() const { return FMainWindow; }
    // Closes the main window, which runs its normal closing sequence; without a main window it
    // asks the event loop to quit.
    void CloseMainWindow();

    // The default error report: an error message box with the exception's text (UTF-8).
    void ShowException(const std::exception& e);

private:
    friend TApplication& Application();
    TApplication() = default;
    void ConnectStateChanges();

    TNotifyEvent FOnActivate;
    const QObject* FOnActivateOwner = nullptr;
    bool FConnected = false;
    std::optional<QStringList> FParamStrings;
    QPointer<QWidget> FMainWindow;
};

TApplication& Application();
