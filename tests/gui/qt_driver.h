#pragma once

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <type_traits>

#include <QCoreApplication>
#include <QMetaObject>

// The Qt driver's two ways onto the thread that runs the widgets, for its own tests too.
namespace gui::qt {

inline constexpr auto WAIT_LIMIT = std::chrono::seconds(15);

// Runs task on the widgets' thread and returns its result, or a default one (with a failure)
// when it has not run within WAIT_LIMIT.
template <class Task>
auto OnGui(Task task) -> decltype(task()) {
    using Result = decltype(task());
    auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
    std::future<Result> result = packaged->get_future();
    QMetaObject::invokeMethod(
        qApp, [packaged] { (*packaged)(); }, Qt::QueuedConnection);
    if (result.wait_for(WAIT_LIMIT) != std::future_status::ready) {
        ADD_FAILURE() << "the window did not answer";
        if constexpr (!std::is_void_v<Result>) {
            return Result{};
        } else {
            return;
        }
    }
    return result.get();
}

// Runs task on the widgets' thread later, for a step that may open a modal window.
template <class Task>
void Later(Task task) {
    QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

}  // namespace gui::qt
