#pragma once
// The application-wide services that commands need from the platform: the activation
// notification, the program's arguments, the main window and the default error report.
//
// Activation: the one activation handler of the program runs each time the application becomes
// active (QGuiApplication::applicationStateChanged to Qt::ApplicationActive). Activate() runs it
// as if the platform had reported an activation; tests use it, and so can a program that starts
// without a platform that reports activation. GUI thread only.
//
// The error report: exceptions that escape a message window's handler, the activation handler or
// (in the tools) an event handler end in ShowException. It counts them and keeps what the first
// one was, so that a tool can tell a run that lost work from a complete one, then shows it
// with the report in force: a message box unless the program installed its own.
#include "platform/ui/Messages.h"

#include <exception>
#include <functional>
#include <optional>
#include <string>

#include <QPointer>
#include <QStringList>
#include <QWidget>

// The last error that a message handler let escape. Outside the application class, so that it is
// complete (and default-constructible) where the class keeps one in an optional.
struct TApplicationError {
    bool OutOfMemory = false; // a std::bad_alloc
    std::string What;         // the exception's text (empty when it could not be kept)
};

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

    // The program's arguments as wide texts, in order, without the program path: the ones the
    // user typed when the program captured them (CaptureTypedArguments), else the toolkit's.
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

    // Counts the error and shows it with the report in force; the default report is an error
    // message box with the exception's text (UTF-8). Never throws.
    void ShowException(const std::exception& e);

    // An error that reached ShowException.
    using TReportedError = TApplicationError;
    using TErrorReport = std::function<void(const std::exception&)>;
    // Replaces the default report (a program without windows prints or only notes errors); none
    // restores the message box. Returns the report it replaces.
    TErrorReport SetErrorReport(TErrorReport report);
    // How many errors reached ShowException since the start, and the last of them.
    int ReportedErrorCount() const { return FReportedErrors; }
    const std::optional<TReportedError>& LastReportedError() const { return FLastError; }

private:
    friend TApplication& Application();
    TApplication() = default;
    void ConnectStateChanges();

    TNotifyEvent FOnActivate;
    const QObject* FOnActivateOwner = nullptr;
    bool FConnected = false;
    std::optional<QStringList> FParamStrings;
    QPointer<QWidget> FMainWindow;
    TErrorReport FErrorReport;
    int FReportedErrors = 0;
    std::optional<TReportedError> FLastError;
};

TApplication& Application();
