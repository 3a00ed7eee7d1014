#include "commands/uWndComponent.h"

TZvActionComponent::TZvActionComponent(QObject* owner)
    : TCustomZvActionList(owner),
      FWindow(std::make_unique<TMessageWindow>([this](TMessage& m) { WndProc(m); })),
      FWindowHandle(FWindow->Handle()) {}

TZvActionComponent::~TZvActionComponent() {
    FWindow.reset();
}

void TZvActionComponent::BuildActions() {
    if (FBuilt)
        return;
    FBuilt = true;
    CreateActions();
    InitActions();
    FindActions();
    WireActions();
}

bool TZvActionComponent::PostMessage(UINT msg, WPARAM wparam, LPARAM lparam) const {
    return FWindowHandle.Post(msg, wparam, lparam);
}

LRESULT TZvActionComponent::SendMessage(UINT msg, WPARAM wparam, LPARAM lparam) const {
    return FWindowHandle.Send(msg, wparam, lparam);
}

void TZvActionComponent::WndProc(TMessage& message) {
    DefWindowProc(message);
}
