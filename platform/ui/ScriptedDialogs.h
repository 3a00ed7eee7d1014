#pragma once
// Scripted answers for the dialog service (tests and automated runs). While an instance exists it
// is the service's presenter: each question takes the next queued answer, and every question is
// recorded with the answer it got. A question that finds no queued answer, or whose queued answer
// is not one of its buttons, is answered with its CancelResult and marked unexpected, so that a
// test can fail on it. Destroying the instance gives back the presenter it replaced.
#include "platform/ui/DialogService.h"

#include <deque>

struct TAskedDialog {
    TDialogRequest Request;
    int32_t Answer = mrNone;
    bool Unexpected = false;
};

class TScriptedDialogs {
public:
    TScriptedDialogs();
    ~TScriptedDialogs();
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // Queues the answer of the next question: a button's result.
    void Answer(int32_t result) { FAnswers.push_back(result); }
    const QVector<TAskedDialog>& Asked() const { return FAsked; }
    int UnexpectedCount() const;
    size_t UnusedAnswers() const { return FAnswers.size(); }

private:
    int32_t Present(const TDialogRequest& request);

    std::deque<int32_t> FAnswers;
    QVector<TAskedDialog> FAsked;
    TDialogService::TPresenter FPrevious;
};
