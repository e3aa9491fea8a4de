// Verifying an update archive's signature runs on the main thread before unpacking: how long
// it holds the window up for archives of a release's size and of the size cap, in both the
// pre-hashed form that minisign writes by default and the legacy one.

#include "BenchSupport.h"
#include "MendSign.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {
constexpr int kRuns = 7;

bool minisign(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/minisign"), arguments);
    return process.waitForFinished(600000) && process.exitCode() == 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString pub = work.filePath("k.pub"), sec = work.filePath("k.sec");
    if (!minisign({"-G", "-W", "-p", pub, "-s", sec}))
        qFatal("minisign cannot make a key");
    QFile keyFile(pub);
    keyFile.open(QIODevice::ReadOnly);
    const QByteArray key = keyFile.readAll().split('\n').value(1);

    for (const int mib : {32, 512}) {
        const QString archive = work.filePath("pairwell.zip");
        QFile file(archive);
        file.open(QIODevice::WriteOnly);
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < mib; ++i) {
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()),
                                                  block.size() / 4);
            file.write(block);
        }
        file.close();
        for (const bool legacy : {false, true}) {
            QStringList arguments = {"-S", "-s", sec, "-m", archive};
            if (legacy)
                arguments << "-l";
            if (!minisign(arguments))
                qFatal("minisign cannot sign");
            QFile sigFile(archive + ".minisig");
            sigFile.open(QIODevice::ReadOnly);
            const QByteArray signature = sigFile.readAll();
            QList<double> samples;
            for (int run = 0; run < kRuns; ++run) {
                QElapsedTimer timer;
                timer.start();
                if (!mendsign::refusal(archive, signature, key).isEmpty())
                    qFatal("a good signature was refused");
                samples << timer.nsecsElapsed() / 1e6;
            }
            benchsupport::report(
                QStringLiteral("verify %1 MiB, %2").arg(mib).arg(legacy ? "legacy" : "pre-hashed"),
                samples, QStringLiteral("ms"));
        }
    }
    return 0;
}
