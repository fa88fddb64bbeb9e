#pragma once

#include <functional>

class QKeyEvent;

// A key held down acts once, however long it is held.
//
// Qt marks the presses that the keyboard repeats, but X sends each repeat as
// a release and a press of the same time, and Qt's X plugin pairs them only
// when the press has already arrived as it reads the release: on a busy
// machine both look like a real release and a real press. With a screen
// reader listening, Qt's bridge holds each key event back and sends a copy
// without its time. So a press acts only after a release that is not
// followed within a moment by the next press, read from the X server's own
// events where there are some, from every key event of the program
// otherwise (those that the seats' pauses drop and those that go to a box
// included), so that a release is never missed. A program that loses the
// keyboard forgets what was held.
class ToucheUnique {
public:
    // Runs action for a real press, not for a repeat of a key still held.
    void appui(const QKeyEvent *e, const std::function<void()> &action);

    // Starts watching the program's key events; an input filter installed
    // afterwards runs before the watch, and calls observer for what it drops.
    static void suivre();
    // A key event, before any filter may drop it; seeing one twice is harmless.
    static void observer(const QKeyEvent *e);

private:
    int cle = 0;
    unsigned long long numero = 0;   // the press that last acted
};
