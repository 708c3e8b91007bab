#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Runs Act on the next modal dialog once it is up.
template <typename TDialog> void WhenModal(std::function<void(TDialog*)> Act)
{
    QTimer::singleShot(0, [Act] {
        auto* Dialog = qobject_cast<TDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(Dialog, nullptr);
        Act(Dialog);
    });
}
