#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

// Waits for a state rather than for a time. Each wait ends as soon as done()
// holds; it gives up after timeoutMs, a bound far above what the state
// normally needs, and then fails saying what it was waiting for. Use with
// ASSERT_TRUE or EXPECT_TRUE.

// Checks done() every few milliseconds: for a state that another process or
// thread brings about while this thread has no messages to handle.
::testing::AssertionResult waitUntil(const std::function<bool()>& done, const char* what,
                                     DWORD timeoutMs);

// Dispatches this thread's messages, through filter first when it is given
// (a message it consumes is not dispatched), until done() holds. A quit
// message ends the wait: it is posted again for whoever runs the thread's
// loop, and the wait fails unless done() holds.
::testing::AssertionResult pumpUntil(const std::function<bool()>& done, const char* what,
                                     DWORD timeoutMs,
                                     const std::function<BOOL(MSG*)>& filter = nullptr);
