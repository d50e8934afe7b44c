// Waits for something the event loop brings about (camera frames, posted deletions, documents opened by a thread),
// without sleeping past the moment it happens.
#pragma once

#include <QApplication>
#include <QElapsedTimer>

// False when `done` still does not hold after `ms` milliseconds.
template <typename Done>
bool WaitUntil(Done done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
