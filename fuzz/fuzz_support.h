#pragma once

// What the fuzz targets share: the Qt set-up, the check that turns a broken promise into a
// crash that libFuzzer keeps, and a scratch directory for the files the code under test writes.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace grainlink::fuzz {

// A promise of the code under test was broken: stops like a crash, so that libFuzzer saves the
// input and scripts/fuzz.sh fails.
[[noreturn]] inline void Fail(const char* check, const QByteArray& detail)
{
    std::fprintf(stderr, "==fuzz check failed: %s\n%s\n", check, detail.constData());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                    \
    do {                                                                 \
        if (!(condition)) ::grainlink::fuzz::Fail(#condition, (detail)); \
    } while (0)

// Once per process, from LLVMFuzzerInitialize: the application object Qt wants, and no output
// for the warnings the code gives about each faulty input (a fatal message still stops the run).
inline void InitQt(int* argc, char*** argv)
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) Fail("Qt fatal message", text.toUtf8());
    });
    static QCoreApplication app(*argc, *argv);
}

// A file in the process's scratch directory, in memory where the machine has /dev/shm. The working
// directory stays as it is: libFuzzer reads and writes the corpus and the findings there.
inline QString ScratchFile(const QString& name)
{
    static QTemporaryDir scratch((QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                      ? QStringLiteral("/dev/shm")
                                      : QDir::tempPath()) +
                                 QStringLiteral("/grainlink-fuzz-XXXXXX"));
    if (!scratch.isValid()) Fail("scratch directory", scratch.errorString().toUtf8());
    return scratch.filePath(name);
}

// The locales the numbers are written in: a point, a comma, and a comma with a group separator
// that is not ASCII.
inline const QLocale& LocaleNumbered(unsigned choice)
{
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::French, QLocale::France)};
    return locales[choice % std::size(locales)];
}

}  // namespace grainlink::fuzz
