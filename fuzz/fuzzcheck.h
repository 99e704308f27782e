#pragma once

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

// A broken property is a crash to libFuzzer: it keeps the input and stops.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// The codec traces every value it handles; over millions of inputs that output
// would cost more than the code under test and bury libFuzzer's own report.
// Each target includes this header once.
static const auto quietLog = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
