#include "platform/ui/ScriptedDialogs.h"

TScriptedDialogs::TScriptedDialogs() {
    FPrevious =
        DialogService().SetPresenter([this](const TDialogRequest& r) { return Present(r); });
}

TScriptedDialogs::~TScriptedDialogs() {
    DialogService().SetPresenter(std::move(FPrevious));
}

int TScriptedDialogs::UnexpectedCount() const {
    int n = 0;
    for (const TAskedDialog& a : FAsked)
        n += a.Unexpected ? 1 : 0;
    return n;
}

int32_t TScriptedDialogs::Present(const TDialogRequest& request) {
    TAskedDialog asked{request, request.CancelResult, true};
    asked.Request.CustomDialog = nullptr;
    if (!FAnswers.empty()) {
        const int32_t answer = FAnswers.front();
        FAnswers.pop_front();
        if (request.Offers(answer) || answer == request.CancelResult) {
            asked.Answer = answer;
            asked.Unexpected = false;
        }
    }
    FAsked.push_back(asked);
    return asked.Answer;
}
