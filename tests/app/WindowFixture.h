// A main window on a fresh registry, with Skylune registered in a temporary folder that
// holds a small Countries.dat, and helpers that answer the window's modal dialogs the way
// a user would, from inside the dialog's own event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/GridloomForm.h"
#include "tests/run/RunFakes.h"
#include "tests/settings/RegistryFixture.h"

namespace gridloom::test {

// Waits, from inside the event loop, for the next modal dialog of type T and hands it to
// `act`, which must close it.
template <class T>
void WhenModal(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        }
    });
    timer->start();
}

struct TSeenMessage {
    QString Caption;
    QString Text;
    int Count = 0;
};

// Answers the next message box with `button` and notes what it said.
inline void AnswerMessage(QMessageBox::StandardButton button, TSeenMessage* seen = nullptr) {
    WhenModal<QMessageBox>([button, seen](QMessageBox& box) {
        if (seen) {
            seen->Caption = box.windowTitle();
            seen->Text = box.text();
            ++seen->Count;
        }
        box.button(button)->click();
    });
}

class WindowFixture : public RegistryFixture {
protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        Skylune = (Folder / "skylune").string() + "/";
        std::filesystem::create_directories(Skylune);
        WriteFile(Skylune + "Countries.dat", SmallCountries());
        Store("\\Software\\Tarnwick\\App Paths",
              [this](TRegistry& r) { r.WriteString("Skylune", Skylune + "Skylune.exe"); });
    }

    void TearDown() override {
        Form.reset();
        RegistryFixture::TearDown();
    }

    TFormMain& Open() {
        Form = std::make_unique<TFormMain>(Services);
        Form->show();
        QApplication::processEvents();
        return *Form;
    }

    // Closing and destroying the window, as the program does at its end.
    void CloseAndDestroy() {
        if (Form) Form->close();
        Form.reset();
    }

    std::string Skylune;  // Skylune's folder, ending in '/'
    TFakeServices Services;
    std::unique_ptr<TFormMain> Form;
};

}  // namespace gridloom::test
