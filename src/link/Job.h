// A transfer written as a coroutine: it runs until it awaits a reply, and the
// engine resumes it from the event loop when the reply, the time-out or the
// stop arrives. Nothing blocks and no event loop is nested.
#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <utility>

namespace ecr::link {

class Job {
public:
    struct promise_type {
        std::function<void()> onDone; // called once the body has run to its end
        std::exception_ptr error;

        Job get_return_object() { return Job(std::coroutine_handle<promise_type>::from_promise(*this)); }
        std::suspend_always initial_suspend() noexcept { return {}; }
        auto final_suspend() noexcept {
            struct Last {
                bool await_ready() noexcept { return false; }
                void await_suspend(std::coroutine_handle<promise_type> h) noexcept {
                    if (h.promise().onDone) h.promise().onDone();
                }
                void await_resume() noexcept {}
            };
            return Last{};
        }
        void return_void() {}
        void unhandled_exception() { error = std::current_exception(); }
    };

    Job() = default;
    explicit Job(std::coroutine_handle<promise_type> h) : h_(h) {}
    Job(Job&& o) noexcept : h_(std::exchange(o.h_, {})) {}
    Job& operator=(Job&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, {});
        }
        return *this;
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    ~Job() { reset(); }

    explicit operator bool() const { return static_cast<bool>(h_); }
    bool done() const { return h_ && h_.done(); }
    // onDone must not destroy the job itself: it runs inside the coroutine's
    // last suspension, so it should only schedule the clean-up.
    void start(std::function<void()> onDone) {
        h_.promise().onDone = std::move(onDone);
        h_.resume();
    }
    std::exception_ptr error() const { return h_ ? h_.promise().error : nullptr; }
    void reset() {
        if (h_) h_.destroy();
        h_ = {};
    }

private:
    std::coroutine_handle<promise_type> h_;
};

} // namespace ecr::link
