#pragma once
// An action component: an action list that is also one of the program's functional components
// (file manager, graph and navigation manager, video, audio and application managers). It owns a
// hidden message window for continuing work later on the GUI thread, and creates, finds and wires
// its own actions in four steps.
//
// Lifecycle. C++ cannot call a derived class's overrides from the base constructor, so the owner
// runs the four steps right after constructing the component:
//
//     auto* vidman = new TVideoMan(form);   // owned by form
//     vidman->BuildActions();               // CreateActions, InitActions, FindActions, WireActions
//
// - CreateActions: create each action with Create(internal id, this) (category "internal").
// - InitActions: give each action its properties (names, script names, switches, shortcuts,
//   captions, hints, images, ApplyWhenLoad, IncludePrefs, defaults).
// - FindActions: keep typed references found with FindByInternalId / FindAction<T> (a missing
//   action leaves the reference empty; later uses check it).
// - WireActions: assign the internal hooks (OnInternalApply, OnInternalPrepare, ...) and any
//   caption the component fixes itself.
//
// Messages. The hidden window is created with the component and destroyed first thing in the
// base destructor (posts still queued are dropped, waiting senders get 0). Other threads reach
// the component only through Handle(): Post for work to continue later, Send when the sender must
// wait for the handler (see platform/ui/ProcessMessages.h for the wait the GUI thread must use
// while such a sender may be blocked). WndProc runs on the GUI thread; an override handles its own
// message numbers and passes every other message to the inherited WndProc.
#include "commands/uSuperAction.h"
#include "platform/ui/MessageWindow.h"

#include <memory>

class TZvActionComponent : public TCustomZvActionList {
public:
    explicit TZvActionComponent(QObject* owner = nullptr);
    ~TZvActionComponent() override;

    // Runs the four steps, once.
    void BuildActions();

    // The hidden window, for any thread.
    TWindowHandle Handle() const { return FWindowHandle; }
    bool PostMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;
    LRESULT SendMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;

protected:
    // In the toolkit's slot order.
    virtual void WndProc(TMessage& message);
    virtual void WireActions() {}
    virtual void CreateActions() {}
    virtual void FindActions() {}
    virtual void InitActions() {}

    // Destroys the hidden window early (a derived destructor that must stop handling messages
    // before it tears down what they use); Post then fails and Send returns 0.
    void DestroyMessageWindow() { FWindow.reset(); }

private:
    std::unique_ptr<TMessageWindow> FWindow;
    TWindowHandle FWindowHandle;
    bool FBuilt = false;
};
