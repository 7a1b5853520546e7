// Finding where scrolling screenshots continue each other, against decoding them.
//   bench_overlap [benchmark options]          pairs of 1080 x 2340 screenshots, PNG and JPEG
//   bench_overlap --make-screens DIR [COUNT]   COUNT (30) overlapping screenshots of a chat as
//                                              shot-NN.png and shot-NN.jpg (quality 85), and page.png
//   bench_overlap --compare OUT.png PAGE.png   how a joined file differs from the page
//   bench_overlap --corpus                     each corpus case at screen size: the page or not, and
//                                              the time per pair
// bench/overlap-join.sh compares `join --overlap` of those with the plain join.

#include "overlap/overlapfinder.h"
#include "support/scrollcorpus.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

using namespace ScrollCorpus;

namespace {

constexpr int cross = 1080;
constexpr int screen = 2340;
constexpr int header = 210;
constexpr int footer = 150;

struct Pair
{
    QByteArray files[2];
    QImage frames[2];
    bool vertical = true;
};

const char* const pageNames[] = {"text", "chat", "photos", "table"};

// Two screens of the page half a viewport apart, encoded as the files a phone writes.
const Pair& pair(int kind, bool jpeg)
{
    static QMap<int, Pair> made;
    const int key = kind * 2 + jpeg;
    if (!made.contains(key)) {
        const Page page = Page(kind);
        const int viewport = screen - header - (page == Page::Table ? 0 : footer);
        const Screens s =
            cut(page, cross, screen, header, page == Page::Table ? 0 : footer, {0, viewport / 2});
        Pair p;
        p.vertical = s.vertical;
        for (int i = 0; i < 2; ++i) {
            QBuffer buffer(&p.files[i]);
            buffer.open(QIODevice::WriteOnly);
            s.frames[i].save(&buffer, jpeg ? "JPG" : "PNG", jpeg ? 85 : -1);
            p.frames[i].loadFromData(p.files[i]);
        }
        made.insert(key, p);
    }
    return made[key];
}

void BM_FindOverlap(benchmark::State& state)
{
    const Pair& p = pair(int(state.range(0)), state.range(1));
    int shift = 0;
    for (auto _ : state) {
        const OverlapFinder::Match m = OverlapFinder::match(p.frames[0], p.frames[1], p.vertical);
        shift = m.shift;
        benchmark::DoNotOptimize(shift);
    }
    state.SetLabel(QStringLiteral("%1 %2, shift %3")
                       .arg(pageNames[state.range(0)], state.range(1) ? "jpeg" : "png")
                       .arg(shift)
                       .toStdString());
}

// What the overlap search is measured against: decoding the same two files.
void BM_DecodePair(benchmark::State& state)
{
    const Pair& p = pair(int(state.range(0)), state.range(1));
    for (auto _ : state) {
        for (const QByteArray& file : p.files) {
            QImage image;
            image.loadFromData(file);
            benchmark::DoNotOptimize(image.constBits());
        }
    }
    state.SetLabel(QStringLiteral("%1 %2")
                       .arg(pageNames[state.range(0)], state.range(1) ? "jpeg" : "png")
                       .toStdString());
}

void pairs(benchmark::internal::Benchmark* b)
{
    for (int kind = 0; kind < 4; ++kind)
        for (int jpeg = 0; jpeg < 2; ++jpeg)
            b->Args({kind, jpeg});
    b->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FindOverlap)->Apply(pairs);
BENCHMARK(BM_DecodePair)->Apply(pairs);

int makeScreens(const QString& dir, int count)
{
    QDir().mkpath(dir);
    const int viewport = screen - header - footer;
    QVector<int> offsets;
    for (int i = 0; i < count; ++i)
        offsets << i * viewport * 6 / 10;
    const Screens s = cut(Page::Chat, cross, screen, header, footer, offsets);
    for (int i = 0; i < count; ++i) {
        const QString stem =
            QDir(dir).filePath(QStringLiteral("shot-%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        if (!s.frames[i].save(stem + ".png") || !s.frames[i].save(stem + ".jpg", nullptr, 85))
            return 1;
    }
    std::printf("%d screenshots of %dx%d in %s; the page joined is %dx%d\n", count, cross, screen,
                qPrintable(dir), s.expected.width(), s.expected.height());
    return s.expected.save(QDir(dir).filePath("page.png")) ? 0 : 1;
}

// How a joined file differs from the page, over the columns both have.
int compare(const QString& joined, const QString& pagePath)
{
    const QImage out(joined);
    const QImage page(pagePath);
    const int width = std::min(out.width(), page.width());
    if (out.isNull() || page.isNull() || out.height() != page.height()) {
        std::printf("%s: %dx%d, the page is %dx%d\n", qPrintable(joined), out.width(), out.height(),
                    page.width(), page.height());
        return 1;
    }
    const Difference d =
        difference(out.copy(0, 0, width, out.height()), page.copy(0, 0, width, page.height()));
    std::printf("%s: mean difference %.3f a channel, worst row %.3f\n", qPrintable(joined), d.mean,
                d.worstLine);
    return 0;
}

// Each case of the corpus at screen size: whether joining gives the page, and the time per pair.
int corpus()
{
    std::printf("%-7s %-8s %-5s %-6s %-12s %-10s %-10s %s\n", "page", "overlap", "file", "apart",
                "equals page", "mean diff", "worst row", "ms per pair (median of 3, processor)");
    for (int kind = 0; kind < 4; ++kind) {
        const Page page = Page(kind);
        const int foot = page == Page::Table ? 0 : footer;
        const int viewport = screen - header - foot;
        for (double overlap : {0.1, 0.5, 0.9}) {
            const Screens s = cut(page, cross, screen, header, foot, offsetsForOverlap(viewport, overlap, 3));
            for (bool jpeg : {false, true}) {
                QVector<QImage> frames = s.frames;
                if (jpeg) {
                    for (QImage& frame : frames)
                        frame = throughJpeg(frame);
                }
                std::vector<double> times;
                OverlapPlan plan;
                for (int run = 0; run < 3; ++run) {
                    const std::clock_t start = std::clock();
                    plan = OverlapFinder::plan(frames, s.vertical);
                    times.push_back(double(std::clock() - start) * 1000 / CLOCKS_PER_SEC /
                                    (frames.size() - 1));
                }
                std::sort(times.begin(), times.end());
                // Joined as the canvas joins them, over the columns outside the thumb's band.
                QVector<QPair<int, int>> spans;
                for (const OverlapPlan::Span& span : plan.spans)
                    spans << qMakePair(span.start, span.end);
                const QImage joined = joinSpans(frames, spans, s.vertical,
                                                s.vertical ? s.expected.width() : s.expected.height());
                const Difference d = difference(joined, s.expected);
                const bool equal = jpeg ? d.mean < 3 && d.worstLine < 35 : d.worstLine == 0;
                std::printf("%-7s %-8s %-5s %-6d %-12s %-10.3f %-10.3f %.2f\n", pageNames[kind],
                            qPrintable(QStringLiteral("%1 %").arg(int(overlap * 100))), jpeg ? "jpeg" : "png",
                            int(plan.apart.size()), equal ? (jpeg ? "within noise" : "exactly") : "NO",
                            d.mean, d.worstLine, times[1]);
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--corpus") == 0)
        return corpus();
    if (argc == 4 && std::strcmp(argv[1], "--compare") == 0)
        return compare(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc >= 3 && std::strcmp(argv[1], "--make-screens") == 0)
        return makeScreens(QString::fromLocal8Bit(argv[2]), argc >= 4 ? std::atoi(argv[3]) : 30);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
