// Shows the wait cursor for the lifetime of the object, around work the user
// waits for on the window's thread (reading or writing a file).
#pragma once

#include <QApplication>

class CCalcWaitCursor final {
public:
    CCalcWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CCalcWaitCursor() { QApplication::restoreOverrideCursor(); }
    CCalcWaitCursor(const CCalcWaitCursor&) = delete;
    CCalcWaitCursor& operator=(const CCalcWaitCursor&) = delete;
};
