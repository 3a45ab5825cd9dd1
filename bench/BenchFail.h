#pragma once

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

// Ends the bench with `why` on standard error. The helpers that give up this
// way serve several benches, so the line names the bench that runs (its
// program's name), not the one a helper was first written for.
[[noreturn]] inline void benchFail(const std::string& why)
{
    const QString bench = QCoreApplication::applicationName();
    std::fprintf(stderr, "%s: %s\n", bench.isEmpty() ? "bench" : qPrintable(bench), why.c_str());
    std::exit(1);
}
