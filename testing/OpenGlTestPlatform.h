// For test executables whose tests show OpenGL widgets (QOpenGLWidget): Qt's offscreen platform, which the shared
// test main picks otherwise, has no OpenGL for widgets. Included in one source of such an executable, this makes it
// run on the X server at hand (xvfb-run) instead, before the test main creates the application; a platform chosen
// by the caller stands. Tests call OpenGlWidgetsAvailable() and skip without an X server.
#pragma once

#include <QGuiApplication>
#include <QString>
#include <QTest>
#include <QWidget>

#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace testing_support {

inline const bool kOpenGlTestPlatformChosen = [] {
    if (std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    return true;
}();

inline bool OpenGlWidgetsAvailable()
{
    return QGuiApplication::platformName() == QStringLiteral("xcb");
}

// Shows the window and waits until the X server has exposed it. The first window a process shows makes the desktop
// bus library allocate blocks it keeps until exit: its own block is suppressed by name (scripts/lsan.supp), but the
// blocks it holds are reported with no usable stack, since the library keeps no frame pointers. The leak check
// leaves out what that first exposure allocates, and nothing else.
inline bool ShowExposed(QWidget& window)
{
    static bool first = true;
#if defined(__SANITIZE_ADDRESS__)
    if (first)
        __lsan_disable();
#endif
    window.show();
    const bool exposed = QTest::qWaitForWindowExposed(&window);
#if defined(__SANITIZE_ADDRESS__)
    if (first)
        __lsan_enable();
#endif
    first = false;
    return exposed;
}

}  // namespace testing_support
