#pragma once

// What the Qt tests of the layer share: the backend installed for the whole run, and a loop that
// turns until a condition holds.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <functional>

#include "platform/win/qt/winqt.h"
#include "platform/win/tests/recorder.h"

namespace wintest {

struct QtLayer : testing::Environment {
    void SetUp() override { ASSERT_TRUE(winqt::install()); }
    void TearDown() override { winqt::uninstall(); }
};

inline testing::Environment* const qtlayer = testing::AddGlobalTestEnvironment(new QtLayer);

// Runs the toolkit's loop until the condition holds or the time is up; answers the condition.
// The bound only matters when a test fails; it is generous because the machine may be loaded.
inline bool turnuntil(const std::function<bool()>& condition, int milliseconds = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs the toolkit's loop until nothing is left to do.
inline void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The answer hook goes first: what the toolkit still paints must not reach a test's dead locals.
struct FreshQt : Fresh {
    ~FreshQt()
    {
        answer() = nullptr;
        settle();
    }
};

} // namespace wintest
