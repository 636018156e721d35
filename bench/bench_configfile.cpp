// Load and save of a large settings file (1,000 schemes of 100 pairs), each against a floor that
// does the same input or output with no work of ours: a bare QXmlStreamReader pass over the same
// bytes, and a save of the same bytes through the same kind of file.

#include "config/xmlhandler.h"
#include "config/xmlwriter.h"

#include <QBuffer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

namespace {

const QVector<Scheme> &largeSchemes()
{
    static const QVector<Scheme> schemes = [] {
        QVector<Scheme> result;
        for (int i = 0; i < 1000; ++i) {
            Scheme scheme;
            setSchemeDefaults(scheme);
            scheme.name = QStringLiteral("scheme %1 <&>").arg(i);
            scheme.keypad7 = 65;
            scheme.keypad7Text = QStringLiteral("a");
            for (quint32 pair = 0; pair < 100; ++pair)
                scheme.toneKeys.append({65 + pair % 26, 112 + pair % 12,
                    QStringLiteral("%1         ---->         F%2")
                        .arg(QChar(u'a' + pair % 26))
                        .arg(1 + pair % 12)});
            result << scheme;
        }
        return result;
    }();
    return schemes;
}

const QByteArray &largeDocument()
{
    static const QByteArray document
        = XmlWriter(QStringLiteral("1.9"), 999).document(largeSchemes());
    return document;
}

void BM_Load(benchmark::State &state)
{
    QByteArray bytes = largeDocument();
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QVector<Scheme> schemes;
        XmlHandler handler(&schemes);
        if (!handler.parse(&buffer) || schemes.size() != 1000)
            state.SkipWithError("the document did not read");
        benchmark::DoNotOptimize(schemes.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_LoadFloor(benchmark::State &state)
{
    QByteArray bytes = largeDocument();
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QXmlStreamReader reader(&buffer);
        reader.setNamespaceProcessing(false);
        qint64 tokens = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            ++tokens;
        }
        if (reader.hasError())
            state.SkipWithError("the document did not read");
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// What OK does with the file: write the whole document through a save file and commit it.
void BM_Save(benchmark::State &state)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("tolvan.xtol"));
    for (auto _ : state) {
        QSaveFile file(path);
        XmlWriter writer(QStringLiteral("1.9"), 999);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered)
            || !writer.writeFile(&file, largeSchemes()) || !file.commit())
            state.SkipWithError("the file was not written");
    }
    state.SetBytesProcessed(state.iterations() * largeDocument().size());
}

void BM_SaveFloor(benchmark::State &state)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("tolvan.xtol"));
    const QByteArray &bytes = largeDocument();
    for (auto _ : state) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered)
            || !writeAll(&file, bytes) || !file.commit())
            state.SkipWithError("the file was not written");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The writer's share of a save: the document made in memory.
void BM_Format(benchmark::State &state)
{
    for (auto _ : state) {
        XmlWriter writer(QStringLiteral("1.9"), 999);
        benchmark::DoNotOptimize(writer.document(largeSchemes()).size());
    }
    state.SetBytesProcessed(state.iterations() * largeDocument().size());
}

} // namespace

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Format)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
