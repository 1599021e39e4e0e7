// SPDX-License-Identifier: GPL-3.0-or-later
// The checks a window's text boxes run when the focus leaves them, kept in
// force before any button of the window acts. A mouse click moves the focus
// to its button, so the box's check runs first; an access key, and Enter or
// Esc that a dialog hands to its buttons, leave the focus where it is, and
// the button would act on a value no check has seen. Here every such press
// runs the focused box's check first, and when the check refuses, the press
// does nothing and the focus stays in (or goes back to) the box.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QLineEdit;
class QWidget;

class FocusChecks : public QObject {
    Q_OBJECT
  public:
    // True when the box's text is accepted. A check that refuses has told
    // the user and corrected the text itself.
    using Check = std::function<bool()>;

    // The checks of the window that holds widget, made on first use; they
    // live as long as that window.
    static FocusChecks& of(QWidget* widget);

    // check runs when the focus leaves box for another control of its window
    // (not when another window comes to the front, nor while a frame hides
    // the box), and before a button of the window acts while box has the
    // focus. When it refuses, the focus goes back to box with its text
    // selected, and the press that moved the focus or would have pressed the
    // button does nothing.
    // Called from the window's constructor or later. With everyLeaving, the
    // check also runs when another window or a menu
    // takes the focus (for a check that corrects the text and never refuses).
    void watch(QLineEdit* box, Check check, bool everyLeaving = false);

    // Runs the check of the window's focused box, if it has one; false when
    // the check refuses (the box keeps the focus, its text selected).
    bool passFocusedBox();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit FocusChecks(QWidget* window);
    struct Watched {
        QPointer<QLineEdit> box;
        Check check;
        bool everyLeaving;
    };
    const Watched* watchedOf(const QObject* box) const;
    void focusLeft(QLineEdit* box, Qt::FocusReason reason);
    bool run(const Check& check);
    // The focus back into a refused box, its text selected.
    void giveBack(QLineEdit* box);
    bool inWindow(const QObject* object) const;

    QWidget* window_;
    // The window's own class when its boxes were watched. A window being
    // destroyed has lost it by the time its boxes lose the focus, and the
    // checks, which use the window, must not run then.
    const QMetaObject* windowClass_ = nullptr;
    std::vector<Watched> boxes_;
    // Set while a check runs: its message box and the focus going back move
    // the focus too, which is no leaving of a box.
    bool checking_ = false;
    // Set from a refused leaving until the events queued now have run: the
    // mouse press that moved the focus is still on its way to its control.
    bool refusedJustNow_ = false;
};
