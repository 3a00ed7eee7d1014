#pragma once
// A window that hands its show and close to its preferences component, as the main window does.
#include "preferences/uPreferences.h"

#include <QCloseEvent>
#include <QWidget>

class TPrefsWindow : public QWidget {
public:
    TTaskelPreferences* gp = nullptr;

protected:
    void showEvent(QShowEvent*) override { gp->LoadAll(); }
    void closeEvent(QCloseEvent* e) override {
        bool canClose = true;
        gp->SaveAll(canClose);
        e->setAccepted(canClose);
    }
};
