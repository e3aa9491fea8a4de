#pragma once

#include "Launch.h"
#include "Store.h"

#include <QtTest>
#include <QtWidgets>

/// What every suite shares: a private HOME, a clean store, and the application set up the
/// way the game sets itself up.
namespace testsupport {

/// Points HOME at a fresh temporary folder (removed at exit) and drops the XDG overrides, so
/// the settings, the store and the Trash all land inside it. Call before QApplication exists.
void isolateHome();
/// The temporary HOME of this suite.
QString home();
/// Forgets every preference and removes the card-face store root.
void resetStore();
/// Mounts a tmpfs of \a kib KiB on \a dir (made if missing) and fills it until about \a left
/// bytes stay free once \a ready has run; false where this environment may not mount.
bool mountFull(const QString& dir, int kib, qint64 left, const std::function<void()>& ready);
/// Unmounts what mountFull() mounted on \a dir.
void unmount(const QString& dir);

} // namespace testsupport

/// Like QTEST_MAIN, but with a private HOME and the application's names in place.
#define PAIRWELL_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        testsupport::isolateHome();                                                                \
        QApplication app(argc, argv);                                                              \
        prepareApplication(app);                                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
