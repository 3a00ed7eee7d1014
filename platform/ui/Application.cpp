#include "platform/ui/Application.h"

#include "platform/ui/DialogService.h"
#include "platform/ui/TypedArguments.h"

#include <new>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

TApplication& Application() {
    static TApplication app;
    return app;
}

void TApplication::SetOnActivate(TNotifyEvent handler, const QObject* owner) {
    ConnectStateChanges();
    FOnActivate = std::move(handler);
    FOnActivateOwner = owner;
}

void TApplication::ClearOnActivate(const QObject* owner) {
    if (FOnActivateOwner != owner)
        return;
    FOnActivate = nullptr;
    FOnActivateOwner = nullptr;
}

void TApplication::Activate() {
    // A copy: the handler may replace itself while it runs.
    const TNotifyEvent handler = FOnActivate;
    if (!handler)
        return;
    try {
        handler(QCoreApplication::instance());
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

void TApplication::ConnectStateChanges() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (FConnected || !app)
        return;
    FConnected = true;
    QObject::connect(app, &QGuiApplication::applicationStateChanged, app,
                     [this](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                             Activate();
                     });
    QObject::connect(app, &QObject::destroyed, [this] { FConnected = false; });
}

QStringList TApplication::ParamStrings() const {
    if (FParamStrings)
        return *FParamStrings;
    if (const std::optional<TTypedArguments>& typed = CapturedArguments())
        return typed->Texts();
    return QCoreApplication::arguments().mid(1);
}

void TApplication::CloseMainWindow() {
    if (FMainWindow)
        FMainWindow->close();
    else if (QCoreApplication::instance())
        QCoreApplication::quit();
}

void TApplication::ShowException(const std::exception& e) {
    ++FReportedErrors;
    const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
    // Memory may have run out: what cannot be kept or shown is left out rather than thrown.
    try {
        FLastError.emplace();
        FLastError->OutOfMemory = outOfMemory;
        FLastError->What = e.what();
        if (FErrorReport)
            FErrorReport(e);
        else
            DialogService().MessageDlg(QString::fromUtf8(e.what()), mtError, mbOKButton);
    } catch (...) {
    }
}

TApplication::TErrorReport TApplication::SetErrorReport(TErrorReport report) {
    std::swap(report, FErrorReport);
    return report;
}
