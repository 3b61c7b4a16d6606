// Timings of the chat pane at 10,000 lines: adding a line (against QTextBrowser::append at the same
// size, in the same run), painting a full pane, laying everything out again, and memory per line.
#include "client/chatpane.h"
#include "protocol/colortext.h"
#include "widgets/chatviewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBrowser>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

constexpr int prefill = 10000;
constexpr int samples = 400;

// A mix like an evening's chat: players' lines with heads, smilies, now and then a link.
QString chatLine(int i)
{
    switch (i % 5) {
    case 0:
        return QStringLiteral("0+Ann is Connected.");
    case 1:
        return QStringLiteral("3+Ann chats: that is a horse, surely :)#11 no?");
    case 2:
        return QStringLiteral("4+Bob chats: look at www.example.com/%1 it has the picture").arg(i);
    case 3:
        return QStringLiteral("5+Cy says: Way To Go!");
    default:
        return QStringLiteral("12+Spy chats: I only watch, line %1 of the evening :)#20").arg(i);
    }
}

QString htmlLine(int i)
{
    switch (i % 5) {
    case 0:
        return QStringLiteral("<span style='color:#8aaaac'><b>&nbsp;Ann is Connected.</b></span>");
    case 1:
        return QStringLiteral("<span style='color:#ff0000'><b>Ann chats: that is a horse, surely "
                              "<img src=':/pictures/smiley1.png'> no?</b></span>");
    case 2:
        return QStringLiteral(
                   "<span style='color:#000080'><b>Bob chats: look at <a href='http://www.example.com/%1'>"
                   "www.example.com/%1</a> it has the picture</b></span>")
            .arg(i);
    case 3:
        return QStringLiteral("<span style='color:#008000'><b>Cy says: Way To Go!</b></span>");
    default:
        return QStringLiteral(
                   "<span style='color:#808080'><b>Spy chats: I only watch, line %1 of the evening "
                   "<img src=':/pictures/smiley10.png'></b></span>")
            .arg(i);
    }
}

struct Stats
{
    double median, p90, max;
};

Stats stats(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return {ns[ns.size() / 2] / 1e6, ns[ns.size() * 9 / 10] / 1e6, ns.back() / 1e6};
}

size_t heapInUse()
{
    malloc_trim(0);
    return mallinfo2().uordblks;
}

const int colours[] = {colortext::clRed, colortext::clNavy, colortext::clGreen, 0x008AAAAC,
                       colortext::clGray};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QElapsedTimer t;

    // Memory: heap in use before and after the lines are added (widgets made beforehand).
    ChatPane pane;
    pane.resize(248, 311);
    pane.show();
    QApplication::processEvents();
    const size_t before = heapInUse();
    t.start();
    for (int i = 0; i < prefill; ++i)
        pane.addlinetochat(chatLine(i), colours[i % 5]);
    const qint64 fillMs = t.elapsed();
    QApplication::processEvents();
    const size_t after = heapInUse();

    QTextBrowser browser;
    browser.resize(248, 265);
    browser.show();
    for (int i = 0; i < prefill; ++i)
        browser.append(htmlLine(i));
    QApplication::processEvents();

    // Adding one line at 10,000, interleaved so both see the same machine load.
    std::vector<qint64> ours, theirs, oursPainted, theirsPainted;
    for (int i = 0; i < samples; ++i) {
        t.start();
        pane.addlinetochat(chatLine(i), colours[i % 5]);
        ours.push_back(t.nsecsElapsed());
        t.start();
        browser.append(htmlLine(i));
        theirs.push_back(t.nsecsElapsed());
        if (i % 8 == 0) {
            // The same with the repaint that follows it.
            t.start();
            pane.addlinetochat(chatLine(i), colours[i % 5]);
            pane.mainchat->viewport()->repaint();
            oursPainted.push_back(t.nsecsElapsed());
            t.start();
            browser.append(htmlLine(i));
            browser.viewport()->repaint();
            theirsPainted.push_back(t.nsecsElapsed());
        }
    }

    // Painting a full pane, at the usual size and at a tall one with big text.
    auto paintTimes = [&] {
        std::vector<qint64> ns;
        for (int i = 0; i < 100; ++i) {
            pane.mainchat->verticalScrollBar()->setValue(pane.mainchat->verticalScrollBar()->maximum() -
                                                         i * 7);
            t.start();
            pane.mainchat->viewport()->repaint();
            ns.push_back(t.nsecsElapsed());
        }
        return stats(ns);
    };
    const Stats paint8 = paintTimes();
    pane.settextsize(14, true);
    pane.resize(400, 1000);
    QApplication::processEvents();
    const Stats paintTall = paintTimes();

    // Everything laid out again (a new width or text size) at 10,000 lines.
    std::vector<qint64> relayout;
    for (int i = 0; i < 5; ++i) {
        t.start();
        pane.resize(300 + (i % 2) * 40, 1000);
        relayout.push_back(t.nsecsElapsed());
    }

    const Stats a = stats(ours), b = stats(theirs), ap = stats(oursPainted), bp = stats(theirsPainted);
    const Stats r = stats(relayout);
    std::printf("figure: lines in the pane                 %d (+%d while measuring)\n", prefill,
                samples + samples / 8);
    std::printf("figure: filling 10,000 lines              %lld ms\n", fillMs);
    std::printf("figure: add one line (ms)                 median %.4f  p90 %.4f  max %.4f\n", a.median,
                a.p90, a.max);
    std::printf("figure: QTextBrowser::append (ms)         median %.4f  p90 %.4f  max %.4f\n", b.median,
                b.p90, b.max);
    std::printf("figure: ratio ours / QTextBrowser         %.3f\n", a.median / b.median);
    std::printf("figure: add + repaint (ms)                median %.4f   QTextBrowser %.4f   ratio %.3f\n",
                ap.median, bp.median, ap.median / bp.median);
    std::printf("figure: paint full pane 248x265, size 8   median %.3f ms  max %.3f ms\n", paint8.median,
                paint8.max);
    std::printf("figure: paint full pane 400x954, size 14  median %.3f ms  max %.3f ms\n", paintTall.median,
                paintTall.max);
    std::printf("figure: lay out all lines again           median %.1f ms\n", r.median);
    std::printf("figure: heap per line                     %.0f bytes\n", double(after - before) / prefill);
    return 0;
}
