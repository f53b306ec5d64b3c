#pragma once
// Long runs (whole games played for many minutes, soaks of thousands of ticks) take the
// sanitizer build many times as long as the optimised one, and find little there that their
// shorter relatives and the unit-level tables do not; several real programs at once on the wall
// clock run too slowly there to keep their timetable on a small machine. Both are played in the
// optimised build only: such a test starts with QX_LONG_RUN_OPTIMISED_ONLY(), or is named in
// tests/CMakeLists.txt, which keeps it out of the sanitizer tree's list of tests.
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define QX_TESTS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_TESTS_SANITIZED 1
#endif
#endif

// For a table that plays only some of its rows in the sanitizer tree.
#ifdef QX_TESTS_SANITIZED
inline constexpr bool kTestsSanitized = true;
#else
inline constexpr bool kTestsSanitized = false;
#endif

#ifdef QX_TESTS_SANITIZED
#define QX_LONG_RUN_OPTIMISED_ONLY() GTEST_SKIP() << "a long run: played in the optimised build"
#else
#define QX_LONG_RUN_OPTIMISED_ONLY() static_cast<void>(0)
#endif
